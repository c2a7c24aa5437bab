// Modal runs, long work, clipboard, save dialog, message box, icons and painting on Qt.

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QWindow>

#include "platform/file_dialog.h"
#include "platform/image.h"
#include "qt_test_support.h"
#include "tests/support/scratch_folder.h"

namespace {

constexpr int MAIN = 730;
constexpr int CHILD = 731;
constexpr int GO = 900;

DialogTemplate mainTemplate() {
    return makeTemplate(MAIN, {{IDOK, ControlKind::PushButton, "OK", 140, 7, 50, 14,
                                BS_DEFPUSHBUTTON | WS_TABSTOP, 0},
                               {GO, ControlKind::PushButton, "&Go", 7, 7, 50, 14, WS_TABSTOP, 0}});
}

IconResource redIcon() {
    Image image;
    image.width = 32;
    image.height = 32;
    image.pixels.assign(32 * 32, 0xFFFF0000);
    Image small = image;
    small.width = 16;
    small.height = 16;
    small.pixels.assign(16 * 16, 0xFF0000FF);
    return IconResource{{image, small}};
}

} // namespace

class QtServicesTest : public QtBackendTest {
protected:
    void SetUp() override {
        QtBackendTest::SetUp();
        Resources::addDialog(mainTemplate());
        Resources::addDialog(makeTemplate(CHILD, {}, {.resizable = false}));
    }
};

// Modal runs.

TEST_F(QtServicesTest, EnterEndsAModalRunWithOkAndTheWindowGoes) {
    RecordingDialog dialog(MAIN);
    HWND seen = nullptr;
    whenIdle([&] {
        seen = dialog.m_hWnd;
        EXPECT_TRUE(qt.isVisible(seen));
        QTest::keyClick(widget(seen), Qt::Key_Return);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_FALSE(qt.isWindow(seen));
}

TEST_F(QtServicesTest, EscapeAndTheCloseBoxEndAModalRunWithCancel) {
    RecordingDialog first(MAIN);
    whenIdle([&] { QTest::keyClick(widget(first.m_hWnd), Qt::Key_Escape); });
    EXPECT_EQ(first.DoModal(), IDCANCEL);
    RecordingDialog second(MAIN);
    whenIdle([&] { widget(second.m_hWnd)->close(); });
    EXPECT_EQ(second.DoModal(), IDCANCEL);
}

TEST_F(QtServicesTest, AnOwnedModalDialogBlocksItsOwnerWithoutBeingItsChild) {
    RecordingDialog owner(MAIN);
    const HWND ownerWnd = open(owner, mainTemplate());
    showActive(ownerWnd);
    RecordingDialog child(CHILD, &owner);
    bool checkedInside = false;
    whenIdle([&] {
        checkedInside = true;
        QWidget* childWidget = widget(child.m_hWnd);
        EXPECT_FALSE(qt.isEnabled(ownerWnd));
        EXPECT_EQ(childWidget->parentWidget(), nullptr);
        EXPECT_EQ(childWidget->windowHandle()->transientParent(), widget(ownerWnd)->windowHandle());
        // The owner keeps its look but takes no clicks.
        EXPECT_TRUE(item(ownerWnd, GO)->isEnabled());
        QTest::mouseClick(item(ownerWnd, GO), Qt::LeftButton);
        QTest::keyClick(childWidget, Qt::Key_Escape);
    });
    EXPECT_EQ(child.DoModal(), IDCANCEL);
    EXPECT_TRUE(checkedInside);
    EXPECT_TRUE(owner.of(WM_COMMAND).empty());
    EXPECT_TRUE(qt.isEnabled(ownerWnd));
    QTest::mouseClick(item(ownerWnd, GO), Qt::LeftButton);
    EXPECT_EQ(owner.of(WM_COMMAND).size(), 1u);
    owner.DestroyWindow();
}

TEST_F(QtServicesTest, DestroyingAnOwnerDestroysItsOwnedDialogs) {
    RecordingDialog owner;
    const HWND ownerWnd = open(owner, mainTemplate());
    RecordingDialog child;
    const HWND childWnd = open(child, makeTemplate(CHILD, {}), ownerWnd);
    owner.DestroyWindow();
    EXPECT_FALSE(qt.isWindow(ownerWnd));
    EXPECT_FALSE(qt.isWindow(childWnd));
    EXPECT_EQ(qt.widget(childWnd), nullptr);
}

TEST_F(QtServicesTest, AModalLoopEndsWhenItsWindowIsDestroyed) {
    const HWND wnd = qt.createDialog(mainTemplate(), nullptr);
    whenIdle([&] { qt.destroyWindow(wnd); });
    EXPECT_EQ(qt.runModal(wnd), -1);
    EXPECT_FALSE(qt.isWindow(wnd));
}

TEST_F(QtServicesTest, EndingBeforeTheRunMakesTheRunReturnAtOnce) {
    const HWND wnd = qt.createDialog(mainTemplate(), nullptr);
    qt.showWindow(wnd, ShowCommand::Show);
    qt.endModal(wnd, 55);
    EXPECT_FALSE(qt.isVisible(wnd));
    EXPECT_EQ(qt.runModal(wnd), 55);
    qt.destroyWindow(wnd);
}

// Long work.

// During long work the window takes only the work's stop control, Escape and the close box;
// everything else is dropped, not delivered once the work is over.
TEST_F(QtServicesTest, LongWorkTakesOnlyStopEscapeAndTheCloseBox) {
    RecordingDialog dialog;
    const HWND wnd = open(dialog, mainTemplate());
    showActive(wnd);
    qt.beginWork(wnd, GO);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::BusyCursor);
    QTest::keyClick(widget(wnd), Qt::Key_Return);
    QTest::mouseClick(item(wnd, IDOK), Qt::LeftButton);
    static_cast<QAbstractButton*>(item(wnd, IDOK))->click(); // as an accessibility action would
    QTest::mouseClick(item(wnd, GO), Qt::LeftButton);
    QTest::keyClick(widget(wnd), Qt::Key_Escape);
    qt.serveEvents(wnd);
    std::vector<WPARAM> commands;
    for (const Message& message : dialog.of(WM_COMMAND)) {
        commands.push_back(LOWORD(message.wParam));
    }
    EXPECT_EQ(commands, (std::vector<WPARAM>{GO, IDCANCEL}));
    widget(wnd)->close();
    ASSERT_EQ(dialog.of(WM_SYSCOMMAND).size(), 1u);
    EXPECT_EQ(dialog.of(WM_SYSCOMMAND)[0].wParam, WPARAM(SC_CLOSE));
    const std::size_t seen = dialog.messages.size();
    qt.endWork(wnd);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    QCoreApplication::processEvents();
    EXPECT_EQ(dialog.of(WM_COMMAND).size(), commands.size() + 1); // the close box's IDCANCEL
    for (std::size_t i = seen; i < dialog.messages.size(); ++i) {
        EXPECT_NE(dialog.messages[i].message, UINT(WM_COMMAND)) << "delivered after the work";
    }
    dialog.DestroyWindow();
}

// Clipboard.

TEST_F(QtServicesTest, ClipboardGetsTheExactBytes) {
    const std::string report("0123456789abcdef0123456789abcdef *caf\xE9.txt\r\n"
                             "fedcba9876543210fedcba9876543210 *\xC3\xA4\r\n",
                             82);
    ASSERT_TRUE(qt.setClipboardText(nullptr, report));
    const QMimeData* held = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(held, nullptr);
    const QByteArray bytes = held->data("text/plain");
    EXPECT_EQ(std::string(bytes.constData(), std::size_t(bytes.size())), report);
}

TEST_F(QtServicesTest, ClipboardContentIsReplacedAlsoByAnEmptyText) {
    auto* before = new QMimeData;
    before->setHtml("<b>old</b>");
    QGuiApplication::clipboard()->setMimeData(before);
    ASSERT_TRUE(qt.setClipboardText(nullptr, std::string()));
    const QMimeData* held = QGuiApplication::clipboard()->mimeData();
    EXPECT_EQ(held->formats(), QStringList{"text/plain"});
    EXPECT_TRUE(held->data("text/plain").isEmpty());
}

TEST_F(QtServicesTest, ClipboardTextIsReadBackAsItsBytesAndHtmlAloneIsNoText) {
    const std::string report = "0123456789abcdef0123456789abcdef *caf\xE9.txt\r\n";
    ASSERT_TRUE(qt.setClipboardText(nullptr, report));
    std::string read;
    ASSERT_TRUE(qt.clipboardText(read));
    EXPECT_EQ(read, report);

    QGuiApplication::clipboard()->setText(QString::fromUtf8("from another program: \xC3\xA4"));
    ASSERT_TRUE(qt.clipboardText(read));
    EXPECT_EQ(read, "from another program: \xC3\xA4");

    auto* html = new QMimeData;
    html->setHtml("<b>no text</b>");
    QGuiApplication::clipboard()->setMimeData(html);
    read = "untouched";
    EXPECT_FALSE(qt.clipboardText(read));
    EXPECT_EQ(read, "untouched");
}

// Save dialog and message box.

TEST_F(QtServicesTest, DialogsPassedInAnswerForTheUser) {
    QWidget* shownOver = nullptr;
    OverwritePrompt shownPrompt = OverwritePrompt::DontAsk;
    dialogs.onSave = [&](QWidget* parent, OverwritePrompt prompt, std::string& path) {
        shownOver = parent;
        shownPrompt = prompt;
        path = "/tmp/report.md5";
        return true;
    };
    qt.setDialogs(&dialogs);
    RecordingDialog dialog;
    open(dialog, mainTemplate());
    CFileDialog chooser(FALSE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, nullptr,
                        &dialog);
    EXPECT_EQ(chooser.DoModal(), IDOK);
    EXPECT_EQ(chooser.GetPathName(), "/tmp/report.md5");
    EXPECT_EQ(shownOver, widget(dialog.m_hWnd));
    EXPECT_EQ(shownPrompt, OverwritePrompt::Ask);
    dialogs.onSave = nullptr;
    EXPECT_EQ(chooser.DoModal(), IDCANCEL);

    std::vector<std::string> shown;
    dialogs.onMessage = [&](QWidget*, const std::string& text, const std::string&, MessageBoxKind) {
        shown.push_back(text);
    };
    dialog.MessageBox("recorded");
    EXPECT_EQ(shown, std::vector<std::string>{"recorded"});
    dialog.DestroyWindow();
}

TEST_F(QtServicesTest, SaveDialogAsksToSaveAndConfirmsOverwriting) {
    const ScratchFolder folder;
    const QString chosen = QString::fromStdString(folder / "bericht-ü.csv");
    bool confirms = false;
    bool saves = false;
    QStringList filters;
    QString suggested;
    QString renamed;
    whenIdle([&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        saves = dialog->acceptMode() == QFileDialog::AcceptSave;
        confirms = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
        filters = dialog->nameFilters();
        suggested = QFileInfo(dialog->selectedFiles().value(0)).fileName();
        // The user picks the second kind of file: the suggestion takes its suffix.
        auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        ASSERT_NE(types, nullptr);
        types->setCurrentIndex(1);
        emit types->activated(1);
        emit types->textActivated(types->currentText());
        renamed = QFileInfo(dialog->selectedFiles().value(0)).fileName();
        dialog->selectFile(chosen);
        static_cast<QDialog*>(dialog)->accept();
    });
    std::string path;
    SaveChoices choices{"MD5SUMS",
                        {{"MD5 checksum list (*.md5;MD5SUMS)", {"*.md5", "MD5SUMS"}},
                         {"Results table", {"*.csv"}}}};
    ASSERT_TRUE(qt.saveFileDialog(nullptr, OverwritePrompt::Ask, choices, path));
    EXPECT_TRUE(saves);
    EXPECT_TRUE(confirms);
    EXPECT_EQ(filters, (QStringList{"MD5 checksum list (*.md5 MD5SUMS)", "Results table (*.csv)"}));
    EXPECT_EQ(suggested, "MD5SUMS");
    EXPECT_EQ(renamed, "MD5SUMS.csv");
    EXPECT_EQ(choices.chosenType, 1);
    EXPECT_EQ(path, QFile::encodeName(chosen).toStdString());

    whenIdle([&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        confirms = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
        dialog->reject();
    });
    EXPECT_FALSE(qt.saveFileDialog(nullptr, OverwritePrompt::DontAsk, choices, path));
    EXPECT_FALSE(confirms);
}

TEST_F(QtServicesTest, MessageBoxShowsPlainTextWithTheIcon) {
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    Qt::TextFormat format = Qt::AutoText;
    whenIdle([&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        text = box->text();
        icon = box->icon();
        format = box->textFormat();
        box->accept();
    });
    qt.messageBox(nullptr, "Cannot save <b>x</b>", "digestor", MessageBoxKind::Error);
    EXPECT_EQ(text, "Cannot save <b>x</b>");
    EXPECT_EQ(icon, QMessageBox::Critical);
    EXPECT_EQ(format, Qt::PlainText);
}

// Text, icons and painting.

TEST_F(QtServicesTest, WindowTextKeepsItsBytes) {
    RecordingDialog dialog;
    const HWND wnd = open(dialog, mainTemplate());
    dialog.SetWindowText("caf\xE9 \xC3\xA4");
    EXPECT_EQ(qt.windowText(wnd), "caf\xE9 \xC3\xA4");
    EXPECT_TRUE(widget(wnd)->windowTitle().endsWith(QString::fromUtf8(" ä")));
    qt.setWindowText(qt.dialogItem(wnd, GO), "&Again");
    EXPECT_EQ(static_cast<QPushButton*>(item(wnd, GO))->text(), "&Again");
    EXPECT_EQ(item(wnd, GO)->accessibleName(), "Again");
    dialog.DestroyWindow();
}

TEST_F(QtServicesTest, IconsBecomeTheWindowIcon) {
    const IconResource icon = redIcon();
    RecordingDialog dialog;
    const HWND wnd = open(dialog, mainTemplate());
    dialog.SetIcon(&icon, TRUE);
    dialog.SetIcon(&icon, FALSE);
    EXPECT_EQ(qt.windowIcon(wnd, IconSize::Big), &icon);
    EXPECT_EQ(qt.windowIcon(wnd, IconSize::Small), &icon);
    const QList<QSize> sizes = widget(wnd)->windowIcon().availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(32, 32)));
    EXPECT_TRUE(sizes.contains(QSize(16, 16)));
    dialog.DestroyWindow();
}

TEST_F(QtServicesTest, PaintingDrawsTheIconOnlyInsideAPaintCycle) {
    const IconResource icon = redIcon();
    RecordingDialog dialog;
    const HWND wnd = open(dialog, makeTemplate(CHILD, {}));
    // Outside Qt's paint event there is nothing to draw on; the calls are harmless.
    const HDC dc = qt.beginPaint(wnd);
    EXPECT_NE(dc, nullptr);
    qt.drawIcon(dc, 0, 0, &icon);
    qt.endPaint(wnd, dc);

    dialog.paintIcon = &icon;
    dialog.iconX = 3;
    dialog.iconY = 4;
    const QImage painted = widget(wnd)->grab().toImage();
    EXPECT_GE(dialog.count(WM_PAINT), 1);
    EXPECT_EQ(painted.pixelColor(3, 4), QColor(Qt::red));
    EXPECT_EQ(painted.pixelColor(34, 35), QColor(Qt::red));
    EXPECT_NE(painted.pixelColor(36, 37), QColor(Qt::red));
    dialog.DestroyWindow();
}

TEST_F(QtServicesTest, RedrawSwitchesTheWidgetsUpdates) {
    RecordingDialog dialog;
    const HWND wnd = open(dialog, mainTemplate());
    dialog.SendMessage(WM_SETREDRAW, FALSE);
    EXPECT_FALSE(widget(wnd)->updatesEnabled());
    dialog.SendMessage(WM_SETREDRAW, TRUE);
    EXPECT_TRUE(widget(wnd)->updatesEnabled());
    dialog.DestroyWindow();
}
