#include "tests/support/recording_dialog.h"

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
