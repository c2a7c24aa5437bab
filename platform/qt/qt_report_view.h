#pragma once

#include <QTreeView>

/// The view of a report list: rows of cells, a digest too wide for its column elided in the
/// middle (its first and last digits kept, as people compare them). Moving from row to row keeps
/// the first column in view, so that the names never scroll out of sight.
class QtReportView : public QTreeView {
public:
    explicit QtReportView(QWidget* parent = nullptr);

    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
};
