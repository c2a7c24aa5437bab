// The Qt backend's posted messages.

#include "platform/qt/qt_backend.h"

#include <QMetaObject>

#include "platform/qt/qt_window.h"

bool QtBackend::postMessage(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam) {
    QtWindow* window = find(wnd);
    if (window == nullptr || window->widget == nullptr) {
        return false;
    }
    // The widget is the call's context: Qt drops the call if the widget goes first. The record
    // is looked up again on delivery, since the framework may have destroyed the window meanwhile.
    QMetaObject::invokeMethod(
        window->widget.data(),
        [this, wnd, message, wParam, lParam] {
            if (QtWindow* target = find(wnd)) {
                target->send(message, wParam, lParam);
            }
        },
        Qt::QueuedConnection);
    return true;
}
