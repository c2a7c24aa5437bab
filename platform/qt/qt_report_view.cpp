#include "platform/qt/qt_report_view.h"

QtReportView::QtReportView(QWidget* parent) : QTreeView(parent) {
    setTextElideMode(Qt::ElideMiddle);
}

void QtReportView::scrollTo(const QModelIndex& index, ScrollHint hint) {
    // The row is what matters; scrolling to a cell of a later column would hide the names.
    QTreeView::scrollTo(index.isValid() ? index.sibling(index.row(), 0) : index, hint);
}
