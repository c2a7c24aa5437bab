#pragma once

#include <QAbstractTableModel>
#include <QPixmap>
#include <string>
#include <vector>

#include "platform/list_controls.h"
#include "platform/win_types.h"

/// The rows of a report list view. Rows are stored oldest first and read backwards, so that
/// inserting at the top, the only insertion the program makes, costs O(1) at any row count.
/// New top rows are announced to the views in batches (flush), at the latest when the event
/// loop runs next; the framework's own reads (count, texts, images) see every row at once.
class QtReportModel : public QAbstractTableModel {
public:
    explicit QtReportModel(QObject* parent = nullptr);

    /// Status texts of the status images 0, 1 and 2, for assistive technology and tool tips.
    static QString statusText(int image);

    void insertColumn(int position, const std::string& heading, ColumnAlignment alignment);
    /// Inserts a row before position (clamped to the row count); returns its index, or -1.
    int insertItem(int position, const std::string& text, int image);
    bool setItemText(int item, int subItem, const std::string& text);
    void deleteAllItems();
    int itemCount() const { return int(m_rows.size()); }
    std::string itemText(int item, int subItem) const;
    int itemImage(int item) const;
    /// Sets the words that follow a row's status in its first cell's tooltip and for assistive
    /// technology; false for a row that does not exist.
    bool setItemDescription(int item, const std::string& text);
    /// The small images rows show (null: none); converted once, here.
    void setImages(HIMAGELIST images);
    /// Announces the rows inserted at the top since the last flush.
    void flush();
    int pendingRows() const { return int(m_rows.size()) - m_announced; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    struct Row {
        std::vector<std::string> cells; ///< item text, then the sub-items
        int image = -1;
        std::string description;
    };
    struct Column {
        QString heading;
        ColumnAlignment alignment = ColumnAlignment::Left;
    };

    /// The stored row at framework index item (0 = newest), or null.
    const Row* rowAt(int item) const;
    Row* rowAt(int item);
    /// The stored row a view's row shows.
    const Row& viewRow(int row) const { return m_rows[std::size_t(m_announced - 1 - row)]; }
    void scheduleFlush();

    std::vector<Row> m_rows;
    std::vector<Column> m_columns;
    std::vector<QPixmap> m_images;
    int m_announced = 0; ///< rows the views know: m_rows[0, m_announced)
    bool m_flushScheduled = false;
};
