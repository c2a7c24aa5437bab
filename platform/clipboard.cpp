#include "platform/clipboard.h"

#include "platform/backend.h"

BOOL SetClipboardText(HWND owner, const CString& bytes) {
    return backend().services().setClipboardText(owner, bytes);
}

BOOL GetClipboardText(CString& text) {
    CString held;
    if (!backend().services().clipboardText(held)) {
        return FALSE;
    }
    text = std::move(held);
    return TRUE;
}
