#include "platform/qt/qt_report_model.h"

#include <QMetaObject>
#include <algorithm>
#include <utility>

#include "platform/image.h"
#include "platform/qt/qt_images.h"
#include "platform/qt/qt_text.h"

namespace {

QVariant alignment(ColumnAlignment alignment) {
    switch (alignment) {
    case ColumnAlignment::Right:
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    case ColumnAlignment::Center:
        return QVariant::fromValue(Qt::AlignHCenter | Qt::AlignVCenter);
    case ColumnAlignment::Left:
        break;
    }
    return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
}

} // namespace

QtReportModel::QtReportModel(QObject* parent) : QAbstractTableModel(parent) {}

QString QtReportModel::statusText(int image) {
    switch (image) {
    case 0:
        return QStringLiteral("FAILED");
    case 1:
        return QStringLiteral("OK");
    case 2:
        return QStringLiteral("unreadable");
    case 3:
        return QStringLiteral("no checksum list found");
    case 4:
        return QStringLiteral("good signature");
    case 5:
        return QStringLiteral("BAD signature");
    case 6:
        return QStringLiteral("signature not verified");
    default:
        return QString();
    }
}

void QtReportModel::insertColumn(int position, const std::string& heading,
                                 ColumnAlignment alignment) {
    position = std::clamp(position, 0, int(m_columns.size()));
    beginInsertColumns(QModelIndex(), position, position);
    m_columns.insert(m_columns.begin() + position, Column{QtText::toQString(heading), alignment});
    // Sub-items that exist already move one column to the right with their column.
    for (Row& row : m_rows) {
        if (int(row.cells.size()) > position) {
            row.cells.insert(row.cells.begin() + position, std::string());
        }
    }
    endInsertColumns();
}

int QtReportModel::insertItem(int position, const std::string& text, int image) {
    if (position < 0) {
        return -1;
    }
    const int count = int(m_rows.size());
    position = std::min(position, count);
    Row row;
    row.cells.push_back(text);
    row.image = image;
    if (position == 0) {
        // The newest row is the last stored one: an append, announced with the next flush.
        m_rows.push_back(std::move(row));
        scheduleFlush();
        return 0;
    }
    // Elsewhere the views must hear of every row in order, so pending top rows go first.
    flush();
    const int stored = count - position;
    beginInsertRows(QModelIndex(), position, position);
    m_rows.insert(m_rows.begin() + stored, std::move(row));
    ++m_announced;
    endInsertRows();
    return position;
}

bool QtReportModel::setItemText(int item, int subItem, const std::string& text) {
    Row* row = rowAt(item);
    if (row == nullptr || subItem < 0 || subItem >= std::max(1, int(m_columns.size()))) {
        return false;
    }
    if (int(row->cells.size()) <= subItem) {
        row->cells.resize(std::size_t(subItem) + 1);
    }
    row->cells[std::size_t(subItem)] = text;
    const int viewRowIndex = item - pendingRows();
    if (viewRowIndex >= 0) {
        const QModelIndex changed = index(viewRowIndex, subItem);
        emit dataChanged(changed, changed);
    }
    return true;
}

void QtReportModel::deleteAllItems() {
    beginResetModel();
    m_rows.clear();
    m_rows.shrink_to_fit();
    m_announced = 0;
    endResetModel();
}

std::string QtReportModel::itemText(int item, int subItem) const {
    const Row* row = rowAt(item);
    if (row == nullptr || subItem < 0 || subItem >= int(row->cells.size())) {
        return std::string();
    }
    return row->cells[std::size_t(subItem)];
}

int QtReportModel::itemImage(int item) const {
    const Row* row = rowAt(item);
    return row != nullptr ? row->image : -1;
}

bool QtReportModel::setItemDescription(int item, const std::string& text) {
    Row* row = rowAt(item);
    if (row == nullptr) {
        return false;
    }
    row->description = text;
    const int viewRowIndex = item - pendingRows();
    if (viewRowIndex >= 0) {
        const QModelIndex changed = index(viewRowIndex, 0);
        emit dataChanged(changed, changed, {Qt::ToolTipRole, Qt::AccessibleDescriptionRole});
    }
    return true;
}

void QtReportModel::setImages(HIMAGELIST images) {
    m_images.clear();
    if (images != nullptr) {
        for (const Image& image : images->images) {
            m_images.push_back(QtImages::toPixmap(image));
        }
    }
    if (m_announced > 0) {
        emit dataChanged(index(0, 0), index(m_announced - 1, 0), {Qt::DecorationRole});
    }
}

void QtReportModel::flush() {
    const int pending = pendingRows();
    if (pending <= 0) {
        return;
    }
    beginInsertRows(QModelIndex(), 0, pending - 1);
    m_announced = int(m_rows.size());
    endInsertRows();
}

void QtReportModel::scheduleFlush() {
    if (m_flushScheduled) {
        return;
    }
    m_flushScheduled = true;
    // Queued on this object, so the call is dropped if the model goes first.
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_flushScheduled = false;
            flush();
        },
        Qt::QueuedConnection);
}

const QtReportModel::Row* QtReportModel::rowAt(int item) const {
    if (item < 0 || item >= int(m_rows.size())) {
        return nullptr;
    }
    return &m_rows[m_rows.size() - 1 - std::size_t(item)];
}

QtReportModel::Row* QtReportModel::rowAt(int item) {
    return const_cast<Row*>(std::as_const(*this).rowAt(item));
}

int QtReportModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_announced;
}

int QtReportModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant QtReportModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_announced || index.column() >= int(m_columns.size())) {
        return QVariant();
    }
    const Row& row = viewRow(index.row());
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
        return column < int(row.cells.size()) ? QtText::toQString(row.cells[std::size_t(column)])
                                              : QString();
    case Qt::DecorationRole:
        if (column == 0 && row.image >= 0 && row.image < int(m_images.size())) {
            return m_images[std::size_t(row.image)];
        }
        return QVariant();
    case Qt::ToolTipRole:
    case Qt::AccessibleDescriptionRole:
        // A cell too narrow for its text (an elided digest, a signature's words) shows it whole
        // on hover, and a screen reader hears it whole.
        if (column > 0 && column < int(row.cells.size()) &&
            !row.cells[std::size_t(column)].empty()) {
            return QtText::toQString(row.cells[std::size_t(column)]);
        }
        // The status image is a picture; its meaning is readable as text too, with the row's
        // description (why its file could not be read, say).
        if (column == 0 && !statusText(row.image).isEmpty()) {
            return row.description.empty() ? statusText(row.image)
                                           : statusText(row.image) + QStringLiteral(": ") +
                                                 QtText::toQString(row.description);
        }
        return QVariant();
    case Qt::AccessibleTextRole:
        if (column == 0 && !statusText(row.image).isEmpty()) {
            QString text =
                statusText(row.image) + QStringLiteral(": ") + QtText::toQString(row.cells.front());
            if (!row.description.empty()) {
                text +=
                    QStringLiteral(" (") + QtText::toQString(row.description) + QLatin1Char(')');
            }
            return text;
        }
        return QVariant();
    case Qt::TextAlignmentRole:
        return alignment(m_columns[std::size_t(column)].alignment);
    default:
        return QVariant();
    }
}

QVariant QtReportModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= int(m_columns.size())) {
        return QVariant();
    }
    if (role == Qt::DisplayRole) {
        return m_columns[std::size_t(section)].heading;
    }
    if (role == Qt::TextAlignmentRole) {
        return alignment(m_columns[std::size_t(section)].alignment);
    }
    return QVariant();
}

Qt::ItemFlags QtReportModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}
