#include "platform/qt/qt_list_selection.h"

#include <QItemSelectionModel>
#include <QMetaObject>
#include <utility>

QtListSelection::QtListSelection(QItemSelectionModel* selection)
    : QObject(selection), m_selection(selection) {}

void QtListSelection::setRows(const QModelIndex& first, const QModelIndex& last, bool selected) {
    // Selecting and deselecting the same row must keep their order: a change of direction hands
    // the rows gathered so far over first.
    if (!m_pending.isEmpty() && selected != m_selecting) {
        apply();
    }
    m_selecting = selected;
    m_pending.append(QItemSelectionRange(first, last));
    if (m_scheduled) {
        return;
    }
    m_scheduled = true;
    // Queued on this object, so the call is dropped if the list goes first.
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_scheduled = false;
            apply();
        },
        Qt::QueuedConnection);
}

void QtListSelection::clear() {
    m_pending.clear();
    m_selection->clearSelection();
}

void QtListSelection::apply() {
    // Whole rows, spelled out: the selection model's own widening of ranges to rows merges each
    // range into the others, which costs time in the square of their number again.
    const QAbstractItemModel* model = m_selection->model();
    const int lastColumn = model->columnCount() - 1;
    QItemSelection rows;
    rows.reserve(m_pending.size());
    for (const QItemSelectionRange& range : std::as_const(m_pending)) {
        if (range.isValid()) { // its rows were not deleted meanwhile
            rows.append(QItemSelectionRange(model->index(range.top(), 0),
                                            model->index(range.bottom(), lastColumn)));
        }
    }
    m_pending.clear();
    if (!rows.isEmpty()) {
        m_selection->select(rows, m_selecting ? QItemSelectionModel::Select
                                              : QItemSelectionModel::Deselect);
    }
}
