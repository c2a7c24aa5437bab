#pragma once

#include <QItemSelection>
#include <QObject>

class QItemSelectionModel;

/// The rows the program selects in a report list view, handed to the view's selection model in
/// one piece when the event loop runs next. The selection model compares its whole old selection
/// with the new one on every change, so rows selected one call at a time would cost time in the
/// square of their number; gathered, a thousand rows cost what one does. The gathered rows are
/// persistent indexes, so rows inserted meanwhile move them, and rows deleted drop them.
class QtListSelection : public QObject {
public:
    /// Works on selection, whose child it becomes.
    explicit QtListSelection(QItemSelectionModel* selection);

    /// Selects or deselects the rows first to last (model indexes of column 0).
    void setRows(const QModelIndex& first, const QModelIndex& last, bool selected);
    /// Deselects every row, also the ones still gathered.
    void clear();
    /// Hands the gathered rows to the selection model now.
    void apply();

private:
    QItemSelectionModel* m_selection;
    QItemSelection m_pending;
    bool m_selecting = true; ///< whether the gathered rows are to be selected or deselected
    bool m_scheduled = false;
};
