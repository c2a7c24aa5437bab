#include "qt_test_support.h"

#include <QApplication>
#include <QTimer>

void QtBackendTest::SetUp() {
    Resources::clear();
    setBackend(&qt);
}

void QtBackendTest::TearDown() {
    for (QWidget* popup = QApplication::activePopupWidget(); popup != nullptr;
         popup = QApplication::activePopupWidget()) {
        popup->close();
    }
    setBackend(nullptr);
    Resources::clear();
}

HWND QtBackendTest::open(RecordingDialog& dialog, const DialogTemplate& tmpl, HWND owner) {
    const HWND wnd = qt.createDialog(tmpl, owner);
    dialog.Attach(wnd);
    return wnd;
}

void QtBackendTest::showActive(HWND dialog) {
    qt.showWindow(dialog, ShowCommand::Show);
    QWidget* top = widget(dialog);
    QApplication::setActiveWindow(top);
    QApplication::processEvents();
    ASSERT_EQ(QApplication::activeWindow(), top);
}

void QtRecordingDialogTest::TearDown() {
    dialog.DestroyWindow();
    QtBackendTest::TearDown();
}

void whenIdle(std::function<void()> action) {
    QTimer::singleShot(0, QApplication::instance(), std::move(action));
}
