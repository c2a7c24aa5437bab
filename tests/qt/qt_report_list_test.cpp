// The report list view on Qt: columns, rows inserted at the top at any count, selection and
// scrolling, status images and what assistive technology reads from them.

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>

#include "platform/image.h"
#include "platform/qt/qt_report_model.h"
#include "qt_test_support.h"

namespace {

constexpr int DIALOG = 740;
constexpr int LIST = 1000;

ImageList statusImages() {
    ImageList images;
    images.imageWidth = 16;
    for (std::uint32_t colour : {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu}) {
        Image image;
        image.width = 16;
        image.height = 16;
        image.pixels.assign(16 * 16, colour);
        images.images.push_back(image);
    }
    return images;
}

std::string hexOf(int n) {
    std::string hex = std::to_string(n);
    return std::string(32 - hex.size(), '0') + hex;
}

} // namespace

class QtReportListTest : public QtRecordingDialogTest {
protected:
    void SetUp() override {
        QtRecordingDialogTest::SetUp();
        wnd = open(dialog, makeTemplate(DIALOG, {{LIST, ControlKind::ListView, "", 7, 7, 180, 80,
                                                  LVS_REPORT | WS_BORDER | WS_TABSTOP, 0}}));
        list = qt.dialogItem(wnd, LIST);
        qt.listInsertColumn(list, 0, "Filename", ColumnAlignment::Left, 200);
        qt.listInsertColumn(list, 1, "File Checksum", ColumnAlignment::Left, 225);
        qt.listInsertColumn(list, 2, "Actual Checksum", ColumnAlignment::Left, 225);
        qt.listSetImageList(list, &images, ImageListKind::Small);
        model = qt.listModel(list);
        ASSERT_NE(model, nullptr);
    }
    /// Adds a row as the program does: insert at the top, then the two digest columns.
    void addRow(const std::string& name, int status, const std::string& expected,
                const std::string& actual) {
        ASSERT_EQ(qt.listInsertItem(list, 0, name, status), 0);
        ASSERT_TRUE(qt.listSetItemText(list, 0, 1, expected));
        ASSERT_TRUE(qt.listSetItemText(list, 0, 2, actual));
    }
    QString shown(int row, int column, int role = Qt::DisplayRole) const {
        return model->data(model->index(row, column), role).toString();
    }
    QTreeView* view() const { return static_cast<QTreeView*>(qt.widget(list)); }

    const ImageList images = statusImages();
    HWND list = nullptr;
    QtReportModel* model = nullptr;
};

TEST_F(QtReportListTest, ColumnsHaveHeadingsWidthsAndLeftAlignment) {
    ASSERT_EQ(model->columnCount(), 3);
    EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), "Filename");
    EXPECT_EQ(model->headerData(2, Qt::Horizontal).toString(), "Actual Checksum");
    // Widths scale with the dialog font: 6 pixels of average character width is 1:1.
    EXPECT_EQ(view()->header()->sectionSize(0), (200 * qt.baseUnitX() + 3) / 6);
    EXPECT_EQ(view()->header()->sectionSize(1), (225 * qt.baseUnitX() + 3) / 6);
    EXPECT_EQ(model->headerData(1, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>() &
                  Qt::AlignHorizontal_Mask,
              Qt::AlignLeft);
    EXPECT_FALSE(view()->rootIsDecorated());
    EXPECT_TRUE(view()->uniformRowHeights());
}

TEST_F(QtReportListTest, HundredThousandRowsInsertedAtTheTopStayInOrder) {
    qt.showWindow(wnd, ShowCommand::Show);
    constexpr int ROWS = 100000;
    qt.beginWork(wnd, 0);
    for (int i = 0; i < ROWS; ++i) {
        addRow("file " + std::to_string(i), i % 3, hexOf(i), hexOf(ROWS - i));
        if (i % 5000 == 0) {
            qt.serveEvents(wnd);
        }
    }
    qt.endWork(wnd);
    ASSERT_EQ(qt.listItemCount(list), ROWS);
    ASSERT_EQ(model->rowCount(), ROWS);
    for (int item = 0; item < ROWS; item += 997) {
        const int added = ROWS - 1 - item;
        ASSERT_EQ(qt.listItemText(list, item, 0), "file " + std::to_string(added));
        ASSERT_EQ(qt.listItemText(list, item, 1), hexOf(added));
        ASSERT_EQ(qt.listItemText(list, item, 2), hexOf(ROWS - added));
        ASSERT_EQ(qt.listItemImage(list, item), added % 3);
        // The view reads the same rows in the same places.
        ASSERT_EQ(shown(item, 0), QString::fromStdString("file " + std::to_string(added)));
        ASSERT_EQ(shown(item, 2), QString::fromStdString(hexOf(ROWS - added)));
    }
    EXPECT_EQ(qt.listItemText(list, ROWS - 1, 0), "file 0");
    // The newest row is the one at the top of the view.
    QApplication::processEvents();
    const QModelIndex top = view()->indexAt(QPoint(2, 2));
    EXPECT_EQ(top.row(), 0);
}

TEST_F(QtReportListTest, SelectedRowsAreHighlightedReadAsSelectedAndScrolledTo) {
    qt.showWindow(wnd, ShowCommand::Show);
    for (int i = 0; i < 200; ++i) {
        addRow("file " + std::to_string(i), 1, hexOf(i), hexOf(i));
    }
    qt.listSetColumnWidth(list, 2, 417);
    EXPECT_EQ(view()->header()->sectionSize(2), (417 * qt.baseUnitX() + 3) / 6);

    // The rows are still on their way to the view; the framework's indexes name them anyway.
    qt.listSetSelected(list, 150, true);
    qt.listSetSelected(list, 3, true);
    qt.listEnsureVisible(list, 150);
    QApplication::processEvents();
    const QRect shownAt = view()->visualRect(model->index(150, 0));
    EXPECT_GT(view()->verticalScrollBar()->value(), 0);
    EXPECT_GE(shownAt.top(), 0);
    EXPECT_LE(shownAt.bottom(), view()->viewport()->height());

    addRow("newer", 1, "", "");
    addRow("newest", 1, "", "");
    QApplication::processEvents();
    auto selectedRows = [this] {
        std::vector<int> rows;
        for (const QModelIndex& index : view()->selectionModel()->selectedRows()) {
            rows.push_back(index.row());
        }
        std::sort(rows.begin(), rows.end());
        return rows;
    };
    EXPECT_EQ(selectedRows(), (std::vector<int>{5, 152})) << "the same rows, now lower down";
    QAccessibleTableInterface* table =
        QAccessible::queryAccessibleInterface(view())->tableInterface();
    ASSERT_NE(table, nullptr);
    QList<int> read = table->selectedRows();
    std::sort(read.begin(), read.end());
    EXPECT_EQ(read, (QList<int>{5, 152}));

    qt.listSetSelected(list, 5, false);
    QApplication::processEvents();
    EXPECT_EQ(selectedRows(), (std::vector<int>{152}));
    qt.listSetSelected(list, -1, true);
    QApplication::processEvents();
    EXPECT_EQ(selectedRows().size(), 202u);
    qt.listSetSelected(list, -1, false);
    EXPECT_TRUE(selectedRows().empty());
    qt.listSetSelected(list, 7, true);
    qt.listDeleteAllItems(list);
    QApplication::processEvents();
    EXPECT_FALSE(view()->selectionModel()->hasSelection());
}

TEST_F(QtReportListTest, RowsReachTheViewWhenTheEventLoopRuns) {
    addRow("a", 1, hexOf(1), hexOf(1));
    addRow("b", 1, hexOf(2), hexOf(2));
    EXPECT_EQ(model->rowCount(), 0);
    QApplication::processEvents();
    EXPECT_EQ(model->rowCount(), 2);
    EXPECT_EQ(shown(0, 0), "b");
    // A query announces pending rows at once.
    addRow("c", 1, hexOf(3), hexOf(3));
    EXPECT_EQ(qt.listItemCount(list), 3);
    EXPECT_EQ(model->rowCount(), 3);
    EXPECT_EQ(shown(0, 0), "c");
}

TEST_F(QtReportListTest, InsertionsBelowTheTopKeepTheOrder) {
    addRow("one", 1, "", "");
    addRow("two", 1, "", "");
    EXPECT_EQ(qt.listInsertItem(list, 1, "between", 1), 1);
    EXPECT_EQ(qt.listInsertItem(list, 99, "last", 1), 3);
    EXPECT_EQ(qt.listInsertItem(list, -1, "never", 1), -1);
    addRow("three", 1, "", "");
    const std::vector<std::string> expected{"three", "two", "between", "one", "last"};
    ASSERT_EQ(qt.listItemCount(list), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(qt.listItemText(list, i, 0), expected[std::size_t(i)]);
        EXPECT_EQ(shown(i, 0).toStdString(), expected[std::size_t(i)]);
    }
}

TEST_F(QtReportListTest, ChangedTextOfAShownRowReachesTheView) {
    addRow("a", 1, "", "");
    QApplication::processEvents();
    QSignalSpy changes(model, &QAbstractItemModel::dataChanged);
    ASSERT_TRUE(qt.listSetItemText(list, 0, 2, hexOf(7)));
    ASSERT_EQ(changes.count(), 1);
    EXPECT_EQ(changes[0][0].value<QModelIndex>(), model->index(0, 2));
    EXPECT_EQ(shown(0, 2).toStdString(), hexOf(7));
}

TEST_F(QtReportListTest, DeletingAllRowsEmptiesListAndView) {
    addRow("a", 1, "", "");
    QApplication::processEvents();
    addRow("b", 1, "", "");
    qt.listDeleteAllItems(list);
    EXPECT_EQ(qt.listItemCount(list), 0);
    EXPECT_EQ(model->rowCount(), 0);
    QApplication::processEvents();
    EXPECT_EQ(model->rowCount(), 0);
    addRow("c", 1, "", "");
    EXPECT_EQ(qt.listItemText(list, 0, 0), "c");
}

TEST_F(QtReportListTest, BadItemsAndSubItemsAreRefused) {
    addRow("a", 1, "", "");
    EXPECT_FALSE(qt.listSetItemText(list, 1, 1, "x"));
    EXPECT_FALSE(qt.listSetItemText(list, 0, 3, "x"));
    EXPECT_FALSE(qt.listSetItemText(list, -1, 0, "x"));
    EXPECT_EQ(qt.listItemText(list, 5, 0), "");
    EXPECT_EQ(qt.listItemText(list, 0, 7), "");
    EXPECT_EQ(qt.listItemImage(list, 5), -1);
    EXPECT_EQ(qt.listInsertItem(wnd, 0, "not a list", 0), -1);
}

TEST_F(QtReportListTest, StatusIsReadableAsText) {
    addRow("bad.iso", 0, hexOf(1), hexOf(2));
    addRow("good.iso", 1, hexOf(3), hexOf(3));
    addRow("gone.iso", 2, hexOf(4), "");
    addRow("plain", -1, "", "");
    QApplication::processEvents();
    EXPECT_EQ(shown(3, 0, Qt::AccessibleDescriptionRole), "FAILED");
    EXPECT_EQ(shown(3, 0, Qt::AccessibleTextRole), "FAILED: bad.iso");
    EXPECT_EQ(shown(2, 0, Qt::AccessibleDescriptionRole), "OK");
    EXPECT_EQ(shown(2, 0, Qt::ToolTipRole), "OK");
    EXPECT_EQ(shown(2, 0, Qt::AccessibleTextRole), "OK: good.iso");
    EXPECT_EQ(shown(1, 0, Qt::AccessibleTextRole), "unreadable: gone.iso");
    EXPECT_EQ(shown(1, 0), "gone.iso");
    EXPECT_TRUE(model->data(model->index(0, 0), Qt::AccessibleDescriptionRole).isNull());
    EXPECT_EQ(shown(2, 1).toStdString(), hexOf(3));
    EXPECT_EQ(shown(2, 1, Qt::AccessibleDescriptionRole).toStdString(), hexOf(3));
}

TEST_F(QtReportListTest, RowsShowTheirStatusImage) {
    addRow("good", 1, "", "");
    addRow("unknown", 5, "", "");
    QApplication::processEvents();
    const QPixmap image = model->data(model->index(1, 0), Qt::DecorationRole).value<QPixmap>();
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(16, 16));
    EXPECT_EQ(image.toImage().pixelColor(8, 8), QColor(0, 255, 0));
    EXPECT_TRUE(model->data(model->index(0, 0), Qt::DecorationRole).isNull());
    EXPECT_TRUE(model->data(model->index(1, 1), Qt::DecorationRole).isNull());
    qt.listSetImageList(list, nullptr, ImageListKind::Small);
    EXPECT_TRUE(model->data(model->index(1, 0), Qt::DecorationRole).isNull());
}

TEST_F(QtReportListTest, CtrlCCopiesTheSelectedRowsAndLongCellsShowWholeOnHover) {
    addRow("a.iso", 1, hexOf(1), hexOf(1));
    addRow("SUMS.sig", 4, "Good signature from Alice", "AAAA BBBB");
    addRow("b.iso", 0, hexOf(2), hexOf(3));
    QApplication::processEvents();
    view()->selectionModel()->select(model->index(2, 0),
                                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
    view()->selectionModel()->select(model->index(1, 0),
                                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QApplication::clipboard()->clear();
    // The window is not active offscreen, so the view's Ctrl+C action is triggered by hand.
    for (QAction* action : view()->actions()) {
        if (action->shortcut() == QKeySequence::Copy) {
            action->trigger();
        }
    }
    EXPECT_EQ(QApplication::clipboard()->text(),
              "SUMS.sig\tGood signature from Alice\tAAAA BBBB\na.iso\t" +
                  QString::fromStdString(hexOf(1) + "\t" + hexOf(1)) + "\n");
    EXPECT_EQ(shown(1, 1, Qt::ToolTipRole), "Good signature from Alice");
}

// Moving through the rows with the keys from a cell of a later column scrolls the rows only:
// the names stay in view.
TEST_F(QtReportListTest, MovingWithTheKeysKeepsTheNamesInView) {
    for (int i = 0; i < 30; ++i) {
        addRow("row", 1, hexOf(1), hexOf(2));
    }
    qt.widget(wnd)->show(); // a hidden view scrolls nowhere
    QApplication::processEvents();
    QScrollBar* across = view()->horizontalScrollBar();
    ASSERT_GT(across->maximum(), 0) << "the columns are wider than the list";
    view()->setFocus();
    view()->setCurrentIndex(model->index(0, 2));
    across->setValue(0);
    for (int i = 0; i < 20; ++i) {
        QTest::keyClick(view(), Qt::Key_Down);
    }
    EXPECT_EQ(view()->currentIndex().row(), 20);
    EXPECT_EQ(across->value(), 0);
}
