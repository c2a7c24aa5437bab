// Messages posted to windows of the Qt backend wait for the event loop.

#include "qt_test_support.h"

TEST_F(QtBackendTest, PostedMessagesArriveFromTheModalLoopUnlessTheWindowWent) {
    const DialogTemplate tmpl = makeTemplate(720, {});
    RecordingDialog dialog;
    RecordingDialog gone;
    const HWND wnd = open(dialog, tmpl);
    open(gone, tmpl);
    ASSERT_TRUE(dialog.PostMessage(WM_COMMAND, 821));
    ASSERT_TRUE(gone.PostMessage(WM_COMMAND, 821));
    gone.DestroyWindow();
    EXPECT_EQ(dialog.count(WM_COMMAND), 0) << "nothing is sent at once";

    whenIdle([&] { qt.endModal(wnd, IDOK); });
    qt.showWindow(wnd, ShowCommand::Show);
    EXPECT_EQ(qt.runModal(wnd), IDOK);
    ASSERT_EQ(dialog.count(WM_COMMAND), 1);
    EXPECT_EQ(dialog.of(WM_COMMAND)[0].wParam, 821u);
    EXPECT_EQ(gone.count(WM_COMMAND), 0);
    EXPECT_FALSE(gone.PostMessage(WM_COMMAND, 821)) << "no window";
    dialog.DestroyWindow();
}
