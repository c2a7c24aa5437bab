// The main window on the real Qt widgets (offscreen): controls, resizing, drops, clipboard, save.

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <QUrl>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

#include "platform/qt/qt_backend.h"
#include "platform/resources.h"
#include "platform/win_app.h"
#include "res/resource.h"
#include "tests/qt/scripted_qt_dialogs.h"
#include "tests/support/scratch_folder.h"
#include "ui/app_resources.h"
#include "ui/main_dialog.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* MD5_ABC = "900150983cd24fb0d6963f7d28e17f72";
constexpr const char* MD5_EMPTY = "d41d8cd98f00b204e9800998ecf8427e";

class MainWindowQtTest : public ::testing::Test {
protected:
    void SetUp() override {
        setBackend(&qt);
        Resources::clear();
        registerAppResources();
        savedCwd = fs::current_path();
    }
    void TearDown() override {
        fs::current_path(savedCwd);
        Resources::clear();
        setBackend(nullptr);
    }

    /// Runs the main window; body gets it once it is on the screen, then the window is closed.
    void run(const std::function<void(MainDialog&, QWidget*)>& body) {
        MainDialog dialog(nullptr);
        app.m_pMainWnd = &dialog;
        QTimer::singleShot(0, [&] {
            body(dialog, qt.widget(dialog.m_hWnd));
            dialog.EndDialog(IDOK);
        });
        dialog.DoModal();
        app.m_pMainWnd = nullptr;
    }

    QWidget* control(const MainDialog& dialog, int id) {
        return qt.widget(GetDlgItem(dialog.m_hWnd, id));
    }

    std::string writeFile(const std::string& name, const std::string& bytes) {
        return folder.write(name, bytes);
    }

    static std::string readFile(const std::string& path) { return ScratchFolder::read(path); }

    /// Drags mime data over window and drops it, as the desktop would, then lets the window work
    /// through the drop (it does so from the event loop, under a busy cursor).
    static void drop(QWidget* window, QMimeData& data) {
        const QPoint at = window->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window, &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window, &move);
        QDropEvent dropEvent(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window, &dropEvent);
        EXPECT_EQ(dropEvent.dropAction(), Qt::CopyAction);
        QElapsedTimer waited;
        waited.start();
        do {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        } while ((QApplication::overrideCursor() || waited.elapsed() < 50) &&
                 waited.elapsed() < 10000);
    }

    static void dropFiles(QWidget* window, const std::vector<std::string>& paths) {
        QMimeData data;
        QList<QUrl> urls;
        for (const std::string& path : paths) {
            urls << QUrl::fromLocalFile(QString::fromStdString(path));
        }
        data.setUrls(urls);
        drop(window, data);
    }

    ScriptedQtDialogs dialogs; ///< answers for the user once a test passes them to qt
    QtBackend qt;
    CWinApp app{"digestor"};
    ScratchFolder folder; ///< where the files a test drops are; the window may make it current
    const fs::path scratch = folder.path();
    fs::path savedCwd;
};

} // namespace

TEST_F(MainWindowQtTest, TitleAndControlsAreThereWithTheirTexts) {
    run([&](MainDialog& dialog, QWidget* window) {
        EXPECT_EQ(window->windowTitle(), "Brackwater Digestor");
        EXPECT_TRUE(window->isVisible());
        const std::pair<int, const char*> buttons[] = {{IDOK, "OK"},
                                                       {IDC_CLEAR_LIST, "&Clear List"},
                                                       {IDC_TO_CLIPBOARD, "&To Clipboard"},
                                                       {IDC_SAVE_AS, "&Save As ..."}};
        for (const auto& [id, text] : buttons) {
            auto* button = qobject_cast<QPushButton*>(control(dialog, id));
            ASSERT_NE(button, nullptr) << id;
            EXPECT_EQ(button->text(), text);
            EXPECT_TRUE(button->isVisible());
        }
        auto* check = qobject_cast<QRadioButton*>(control(dialog, IDC_CHECK_FILES));
        auto* generate = qobject_cast<QRadioButton*>(control(dialog, IDC_GENERATE));
        ASSERT_NE(check, nullptr);
        ASSERT_NE(generate, nullptr);
        EXPECT_EQ(check->text(), "Check Files");
        EXPECT_EQ(generate->text(), "Generate Checksums");
        EXPECT_TRUE(check->isChecked());
        EXPECT_FALSE(generate->isChecked());

        auto* list = qobject_cast<QAbstractItemView*>(control(dialog, IDC_RESULT_LIST));
        ASSERT_NE(list, nullptr);
        QAbstractItemModel* model = list->model();
        ASSERT_EQ(model->columnCount(), 5);
        EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), "Filename");
        EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString(), "File Checksum");
        EXPECT_EQ(model->headerData(2, Qt::Horizontal).toString(), "Actual Checksum");
        EXPECT_EQ(model->headerData(3, Qt::Horizontal).toString(), "Algorithm");
        EXPECT_EQ(model->headerData(4, Qt::Horizontal).toString(), "Status");
        EXPECT_EQ(model->rowCount(), 0);
    });
}

TEST_F(MainWindowQtTest, ControlsFollowResizingAndTheMinimumSizeHolds) {
    run([&](MainDialog& dialog, QWidget* window) {
        QWidget* list = control(dialog, IDC_RESULT_LIST);
        QWidget* ok = control(dialog, IDOK);
        const QSize minimum = window->minimumSize();
        EXPECT_GT(minimum.width(), 0);

        window->resize(900, 600);
        QCoreApplication::processEvents();
        EXPECT_EQ(window->size(), QSize(900, 600));
        EXPECT_EQ(list->geometry().left(), 5);
        EXPECT_EQ(list->geometry().right() + 1, 900 - 5) << "the list fills the width";
        EXPECT_GT(list->height(), 400);
        EXPECT_EQ(ok->pos(), QPoint(5, 5));

        window->resize(700, 400);
        QCoreApplication::processEvents();
        EXPECT_EQ(list->geometry().right() + 1, 700 - 5);

        // The row of buttons sets the smallest width; the window cannot become narrower.
        QWidget* generate = control(dialog, IDC_GENERATE);
        EXPECT_GE(minimum.width(), generate->geometry().right() + 1 + 5);
        window->resize(50, 50);
        QCoreApplication::processEvents();
        EXPECT_GE(window->width(), minimum.width());
        EXPECT_GE(window->height(), minimum.height());
        EXPECT_EQ(window->minimumSize(), minimum);
    });
}

TEST_F(MainWindowQtTest, DroppedFileUrlsAreHashedIntoRowsWithIcons) {
    const std::string a = writeFile("a.txt", "abc");
    const std::string b = writeFile("b.txt", "");
    run([&](MainDialog& dialog, QWidget* window) {
        QTest::mouseClick(control(dialog, IDC_GENERATE), Qt::LeftButton);
        dropFiles(window, {a, b});
        auto* list = qobject_cast<QAbstractItemView*>(control(dialog, IDC_RESULT_LIST));
        QAbstractItemModel* model = list->model();
        ASSERT_EQ(model->rowCount(), 2);
        EXPECT_EQ(model->index(0, 0).data().toString(), "b.txt");
        EXPECT_EQ(model->index(1, 0).data().toString(), "a.txt");
        EXPECT_EQ(model->index(0, 1).data().toString(), MD5_EMPTY);
        EXPECT_EQ(model->index(1, 1).data().toString(), MD5_ABC);
        EXPECT_EQ(model->index(1, 2).data().toString(), "") << "a new checksum shows once";
        EXPECT_FALSE(model->index(0, 0).data(Qt::DecorationRole).isNull()) << "a status icon";
        EXPECT_EQ(model->index(0, 0).data(Qt::AccessibleDescriptionRole).toString(), "OK");
        EXPECT_EQ(fs::current_path(), scratch);

        // Where the window has room, a whole checksum fits its column, with the cell's margins:
        // nothing is elided. The empty column keeps its heading whole.
        window->resize(window->width() + 100, window->height());
        QCoreApplication::processEvents();
        const QFontMetrics metrics(list->font());
        const int margin = list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1;
        auto* tree = qobject_cast<QTreeView*>(list);
        ASSERT_NE(tree, nullptr);
        EXPECT_GE(tree->header()->sectionSize(1),
                  metrics.horizontalAdvance(QString(MD5_ABC)) + 2 * margin);
        EXPECT_GE(tree->header()->sectionSize(2),
                  metrics.horizontalAdvance(QStringLiteral("Actual Checksum")) + 2 * margin);
        const QRect shown = tree->viewport()->rect();
        for (int column = 0; column < model->columnCount(); ++column) {
            EXPECT_LE(tree->header()->sectionViewportPosition(column) +
                          tree->header()->sectionSize(column),
                      shown.right() + 1)
                << "column " << column << " inside the window";
        }
    });
}

// A SHA-512 digest checked at the window's first size does not fit: its cell shows it elided in
// the middle, first and last digits kept, while its tooltip and accessible description hold it
// whole; the name column stays in view.
TEST_F(MainWindowQtTest, ADigestTooWideIsElidedInTheMiddleAndWholeOnHover) {
    const std::string sha512 = "cf83e1357eefb8bdf1542850d66d8007d620e4050b5715dc83f4a921d36ce9ce"
                               "47d0d13c5d85f2b0ff8318d2877eec2f63b931bd47417a81a538327af927da3e";
    writeFile("empty", "");
    const std::string list = writeFile("SHA512SUMS", sha512 + "  empty\n");
    run([&](MainDialog& dialog, QWidget* window) {
        dropFiles(window, {list});
        auto* tree = qobject_cast<QTreeView*>(control(dialog, IDC_RESULT_LIST));
        ASSERT_NE(tree, nullptr);
        QAbstractItemModel* model = tree->model();
        ASSERT_EQ(model->rowCount(), 1);
        const QModelIndex digest = model->index(0, 2);
        const int width = tree->header()->sectionSize(2);
        EXPECT_LT(width, tree->fontMetrics().horizontalAdvance(QString::fromStdString(sha512)));
        EXPECT_EQ(tree->textElideMode(), Qt::ElideMiddle);
        const QString shown =
            tree->fontMetrics().elidedText(digest.data().toString(), Qt::ElideMiddle, width);
        EXPECT_TRUE(shown.startsWith("cf83") && shown.endsWith("da3e")) << shown.toStdString();
        EXPECT_EQ(digest.data(Qt::ToolTipRole).toString().toStdString(), sha512);
        EXPECT_EQ(digest.data(Qt::AccessibleDescriptionRole).toString().toStdString(), sha512);
        EXPECT_EQ(tree->header()->sectionViewportPosition(0), 0) << "names in view";
        EXPECT_GE(tree->header()->sectionSize(0),
                  tree->fontMetrics().horizontalAdvance(QStringLiteral("empty")));
    });
}

// Tab goes through the controls as the rows show them, and the drop-down's visible label takes
// Alt+A to it.
TEST_F(MainWindowQtTest, TabFollowsTheScreenAndTheAlgorithmLabelLeadsToTheDropDown) {
    run([&](MainDialog& dialog, QWidget* window) {
        const std::vector<int> order = {
            IDOK,        IDC_CLEAR_LIST, IDC_CHECK_FILES, IDC_TO_CLIPBOARD,
            IDC_SAVE_AS, IDC_ALGORITHM,  IDC_RESULT_LIST};
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
        control(dialog, IDOK)->setFocus();
        std::vector<int> visited;
        for (std::size_t i = 0; i < order.size(); ++i) {
            for (int id : order) {
                if (control(dialog, id)->hasFocus()) {
                    visited.push_back(id);
                }
            }
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        EXPECT_EQ(visited, order);

        auto* label = qobject_cast<QLabel*>(control(dialog, IDC_ALGORITHM_LABEL));
        ASSERT_NE(label, nullptr);
        EXPECT_TRUE(label->isVisible());
        EXPECT_EQ(label->buddy(), control(dialog, IDC_ALGORITHM));
        control(dialog, IDOK)->setFocus();
        QTest::keyClick(window, Qt::Key_A, Qt::AltModifier);
        EXPECT_TRUE(control(dialog, IDC_ALGORITHM)->hasFocus());
    });
}

TEST_F(MainWindowQtTest, ToClipboardPutsTheExactReportBytesOnTheClipboard) {
    const std::string a = writeFile("caf\xC3\xA9.bin", "abc");
    run([&](MainDialog& dialog, QWidget* window) {
        QTest::mouseClick(control(dialog, IDC_GENERATE), Qt::LeftButton);
        dropFiles(window, {a});
        QTest::mouseClick(control(dialog, IDC_TO_CLIPBOARD), Qt::LeftButton);
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        ASSERT_NE(data, nullptr);
        const QByteArray bytes = data->data("text/plain");
        EXPECT_EQ(bytes.toStdString(), std::string(MD5_ABC) + " *caf\xC3\xA9.bin\r\n");
        EXPECT_EQ(bytes.toStdString(), dialog.report.reportText);
    });
}

TEST_F(MainWindowQtTest, SaveAsWritesTheReportThroughTheSaveDialog) {
    const std::string a = writeFile("data", "abc");
    const std::string target = (scratch / "sums.md5").string();
    int asked = 0;
    dialogs.onSave = [&](QWidget*, OverwritePrompt prompt, std::string& path) {
        ++asked;
        EXPECT_EQ(prompt, OverwritePrompt::Ask);
        path = target;
        return true;
    };
    qt.setDialogs(&dialogs);
    run([&](MainDialog& dialog, QWidget* window) {
        QTest::mouseClick(control(dialog, IDC_GENERATE), Qt::LeftButton);
        dropFiles(window, {a});
        QTest::mouseClick(control(dialog, IDC_SAVE_AS), Qt::LeftButton);
    });
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(readFile(target), std::string(MD5_ABC) + " *data\r\n");
}

TEST_F(MainWindowQtTest, AFailedSaveShowsAMessage) {
    std::string shown;
    dialogs.onSave = [&](QWidget*, OverwritePrompt, std::string& path) {
        path = (scratch / "missing-folder" / "x.md5").string();
        return true;
    };
    dialogs.onMessage = [&](QWidget*, const std::string& text, const std::string&, MessageBoxKind) {
        shown = text;
    };
    qt.setDialogs(&dialogs);
    run([&](MainDialog& dialog, QWidget*) {
        QTest::mouseClick(control(dialog, IDC_SAVE_AS), Qt::LeftButton);
    });
    EXPECT_NE(shown.find("missing-folder"), std::string::npos);
}

// During long work Alt+P presses Stop (Alt+S is "&Save As ...", which waits for the work's end).
// A mnemonic clicks its button once the press has shown, a moment later: the test waits for it.
TEST_F(MainWindowQtTest, AltPPressesStopDuringLongWork) {
    run([&](MainDialog& dialog, QWidget* window) {
        QApplication::setActiveWindow(window);
        dialog.work.begin(true);
        dialog.strip.showWork();
        QTest::keyClick(window, Qt::Key_P, Qt::AltModifier);
        EXPECT_TRUE(QTest::qWaitFor([&] { return dialog.work.stopRequested(); }, 5000));
        dialog.work.end();
        dialog.strip.showOutcome("");
    });
}

TEST_F(MainWindowQtTest, DroppedTextBecomesTheTitle) {
    run([&](MainDialog&, QWidget* window) {
        QMimeData data;
        data.setText("Checked on Tuesday");
        drop(window, data);
        EXPECT_EQ(window->windowTitle(), "Checked on Tuesday");
    });
}
