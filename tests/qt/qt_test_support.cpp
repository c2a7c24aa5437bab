#include "qt_test_support.h"

#include <QApplication>
#include <QTimer>

#include "platform/gdi.h"

int RecordingDialog::count(UINT message) const {
    return int(of(message).size());
}

std::vector<Message> RecordingDialog::of(UINT message) const {
    std::vector<Message> found;
    for (const Message& m : messages) {
        if (m.message == message) {
            found.push_back(m);
        }
    }
    return found;
}

LRESULT RecordingDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    const Message m{message, wParam, lParam};
    messages.push_back(m);
    if (onMessage) {
        onMessage(m);
    }
    if (message == WM_GETMINMAXINFO && (minTrack || maxTrack)) {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        if (minTrack) {
            info->ptMinTrackSize = *minTrack;
        }
        if (maxTrack) {
            info->ptMaxTrackSize = *maxTrack;
        }
        return 0;
    }
    if (message == WM_PAINT && paintIcon != nullptr) {
        CPaintDC dc(this);
        dc.DrawIcon(iconX, iconY, paintIcon);
        return 0;
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

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

void whenIdle(std::function<void()> action) {
    QTimer::singleShot(0, QApplication::instance(), std::move(action));
}

DialogTemplate makeTemplate(int id, std::vector<ControlTemplate> controls, bool resizable) {
    DialogTemplate tmpl;
    tmpl.id = id;
    tmpl.caption = "Test Window";
    tmpl.cx = 200;
    tmpl.cy = 100;
    tmpl.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_SETFONT | (resizable ? WS_THICKFRAME : 0);
    tmpl.fontName = "MS Sans Serif";
    tmpl.controls = std::move(controls);
    return tmpl;
}
