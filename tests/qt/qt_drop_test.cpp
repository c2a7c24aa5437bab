// Drags and drops on a dialog: what the registered drop target sees of files, text and keys.

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include "platform/ole_drop_target.h"
#include "qt_test_support.h"

namespace {

constexpr int DIALOG = 720;
constexpr DWORD MK_LBUTTON = 0x01;
constexpr DWORD MK_CONTROL = 0x08;

/// A drop target that answers with a chosen effect and remembers what it was given.
class RecordingTarget : public COleDropTarget {
public:
    DROPEFFECT answer = DROPEFFECT_COPY;
    int enters = 0;
    int overs = 0;
    int leaves = 0;
    int drops = 0;
    DWORD keyState = 0;
    POINT point{};
    CWnd* window = nullptr;
    bool hasFiles = false;
    bool hasText = false;
    std::vector<CString> files;
    CString text;
    std::function<void()> duringDrop;

    DROPEFFECT OnDragEnter(CWnd* wnd, COleDataObject* data, DWORD keys, POINT at) override {
        ++enters;
        remember(wnd, data, keys, at);
        return answer;
    }
    DROPEFFECT OnDragOver(CWnd* wnd, COleDataObject* data, DWORD keys, POINT at) override {
        ++overs;
        remember(wnd, data, keys, at);
        return answer;
    }
    BOOL OnDrop(CWnd* wnd, COleDataObject* data, DROPEFFECT, POINT at) override {
        ++drops;
        remember(wnd, data, keyState, at);
        if (duringDrop) {
            duringDrop();
        }
        return TRUE;
    }
    void OnDragLeave(CWnd*) override { ++leaves; }

private:
    void remember(CWnd* wnd, COleDataObject* data, DWORD keys, POINT at) {
        window = wnd;
        keyState = keys;
        point = at;
        files.clear();
        text.clear();
        hasFiles = data->GetFileList(files) != FALSE;
        hasText = data->GetText(text) != FALSE;
    }
};

} // namespace

class QtDropTest : public QtRecordingDialogTest {
protected:
    void SetUp() override {
        QtRecordingDialogTest::SetUp();
        wnd = open(dialog, makeTemplate(DIALOG, {}));
        ASSERT_TRUE(target.Register(&dialog));
        qt.showWindow(wnd, ShowCommand::Show);
    }
    void TearDown() override {
        target.Revoke();
        QtRecordingDialogTest::TearDown();
    }

    /// Drags mime over the dialog and drops it; true when the drop was accepted.
    bool dragAndDrop(const QMimeData& mime,
                     Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction,
                     Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        const QPoint at(30, 40);
        QDragEnterEvent enter(at, actions, &mime, Qt::LeftButton, modifiers);
        QApplication::sendEvent(widget(wnd), &enter);
        if (!enter.isAccepted()) {
            return false;
        }
        EXPECT_EQ(enter.dropAction(), Qt::CopyAction);
        QDragMoveEvent move(at, actions, &mime, Qt::LeftButton, modifiers);
        QApplication::sendEvent(widget(wnd), &move);
        QDropEvent drop(at, actions, &mime, Qt::LeftButton, modifiers);
        QApplication::sendEvent(widget(wnd), &drop);
        if (!drop.isAccepted()) {
            return false;
        }
        EXPECT_EQ(drop.dropAction(), Qt::CopyAction);
        // The target gets the drop from the event loop, once the source has been released.
        EXPECT_EQ(target.drops, 0);
        QApplication::processEvents();
        return true;
    }

    RecordingTarget target;
};

TEST_F(QtDropTest, FileUrlsArriveAsTheFileListInTheirOrder) {
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile("/tmp/b c.txt"), QUrl::fromLocalFile("/srv/data/ä.iso")});
    ASSERT_TRUE(dragAndDrop(mime));
    EXPECT_EQ(target.enters, 1);
    EXPECT_GE(target.overs, 1);
    EXPECT_EQ(target.drops, 1);
    EXPECT_EQ(target.window, &dialog);
    ASSERT_TRUE(target.hasFiles);
    EXPECT_EQ(target.files, (std::vector<CString>{"/tmp/b c.txt", "/srv/data/\xC3\xA4.iso"}));
}

TEST_F(QtDropTest, FileNamesThatAreNotUtf8KeepTheirBytes) {
    QMimeData mime;
    mime.setData("text/uri-list", "file:///tmp/caf%E9.txt\r\n"
                                  "# a comment line\r\n"
                                  "file://localhost/tmp/x%20y\r\n"
                                  "http://example.com/remote.txt\r\n"
                                  "file://elsewhere/share/f.txt\r\n"
                                  "file:///tmp/nul%00byte\r\n");
    ASSERT_TRUE(dragAndDrop(mime));
    ASSERT_TRUE(target.hasFiles);
    EXPECT_EQ(target.files, (std::vector<CString>{"/tmp/caf\xE9.txt", "/tmp/x y"}));
}

TEST_F(QtDropTest, TextArrivesAsUtf8Text) {
    QMimeData mime;
    mime.setText(QString::fromUtf8("Grüße aus Köln"));
    ASSERT_TRUE(dragAndDrop(mime));
    EXPECT_FALSE(target.hasFiles);
    ASSERT_TRUE(target.hasText);
    EXPECT_EQ(target.text, "Gr\xC3\xBC\xC3\x9F"
                           "e aus K\xC3\xB6ln");
}

TEST_F(QtDropTest, LinksToOtherPlacesAreTextNotFiles) {
    QMimeData mime;
    mime.setUrls({QUrl("https://example.com/page")});
    ASSERT_TRUE(dragAndDrop(mime));
    EXPECT_FALSE(target.hasFiles);
    EXPECT_TRUE(target.hasText);
}

TEST_F(QtDropTest, ADragWithNeitherFilesNorTextIsStillOffered) {
    QMimeData mime;
    mime.setData("application/x-something", "123");
    ASSERT_TRUE(dragAndDrop(mime));
    EXPECT_EQ(target.drops, 1);
    EXPECT_FALSE(target.hasFiles);
    EXPECT_FALSE(target.hasText);
}

TEST_F(QtDropTest, KeysAndPointReachTheTarget) {
    QMimeData mime;
    mime.setText("x");
    ASSERT_TRUE(dragAndDrop(mime, Qt::CopyAction, Qt::ControlModifier));
    EXPECT_EQ(target.keyState, MK_LBUTTON | MK_CONTROL);
    EXPECT_EQ(target.point.x, 30);
    EXPECT_EQ(target.point.y, 40);
}

TEST_F(QtDropTest, ATargetThatAnswersNoneGetsNoDrop) {
    target.answer = DROPEFFECT_NONE;
    QMimeData mime;
    mime.setText("x");
    EXPECT_FALSE(dragAndDrop(mime));
    EXPECT_EQ(target.enters, 1);
    QApplication::processEvents();
    EXPECT_EQ(target.drops, 0);
}

TEST_F(QtDropTest, ASourceThatOnlyMovesIsRefused) {
    QMimeData mime;
    mime.setText("x");
    EXPECT_FALSE(dragAndDrop(mime, Qt::MoveAction));
    QApplication::processEvents();
    EXPECT_EQ(target.drops, 0);
}

TEST_F(QtDropTest, LeavingTellsTheTarget) {
    QMimeData mime;
    mime.setText("x");
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget(wnd), &enter);
    QDragLeaveEvent leave;
    QApplication::sendEvent(widget(wnd), &leave);
    EXPECT_EQ(target.leaves, 1);
}

TEST_F(QtDropTest, ADisabledOrBusyWindowRefusesDrags) {
    QMimeData mime;
    mime.setText("x");
    qt.enableWindow(wnd, false);
    EXPECT_FALSE(dragAndDrop(mime));
    qt.enableWindow(wnd, true);
    qt.beginWork(wnd, 0);
    EXPECT_FALSE(dragAndDrop(mime));
    EXPECT_EQ(target.enters, 0);
    qt.endWork(wnd);
    EXPECT_TRUE(dragAndDrop(mime));
    EXPECT_EQ(target.drops, 1);
}

TEST_F(QtDropTest, DragsOverTheWindowAreRefusedWhileADropIsHandled) {
    QMimeData mime;
    mime.setText("first");
    bool refused = false;
    target.duringDrop = [&] {
        target.duringDrop = nullptr;
        QMimeData second;
        second.setText("second");
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &second, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(widget(wnd), &enter);
        refused = !enter.isAccepted();
    };
    ASSERT_TRUE(dragAndDrop(mime));
    EXPECT_TRUE(refused);
    EXPECT_EQ(target.drops, 1);
}

TEST_F(QtDropTest, RevokedTargetGetsNothingAndRegistersOnce) {
    COleDropTarget other;
    EXPECT_FALSE(other.Register(&dialog)); // one target per window
    target.Revoke();
    EXPECT_FALSE(widget(wnd)->acceptDrops());
    QMimeData mime;
    mime.setText("x");
    EXPECT_FALSE(dragAndDrop(mime));
    EXPECT_EQ(target.enters, 0);
}

TEST_F(QtDropTest, AHandlerMayDestroyTheWindowItWasDroppedOn) {
    target.duringDrop = [this] { dialog.DestroyWindow(); };
    QMimeData mime;
    mime.setText("x");
    ASSERT_TRUE(dragAndDrop(mime));
    EXPECT_EQ(target.drops, 1);
    EXPECT_FALSE(qt.isWindow(wnd));
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
