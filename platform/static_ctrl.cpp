#include "platform/static_ctrl.h"

#include "platform/backend.h"

BOOL CStatic::Create(const char* text, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    if (!parent || !::IsWindow(parent->m_hWnd) || m_hWnd) {
        return FALSE;
    }
    const ControlKind kind =
        (style & 0x1F) == SS_BITMAP ? ControlKind::StaticBitmap : ControlKind::StaticText;
    HWND wnd = backend().controls().createControl(parent->m_hWnd, kind, text ? text : "", style,
                                                  rect, int(id));
    return wnd && Attach(wnd);
}

HBITMAP CStatic::SetBitmap(HBITMAP bitmap) {
    if (!::IsWindow(m_hWnd)) {
        return nullptr;
    }
    HBITMAP previous = m_bitmap;
    m_bitmap = bitmap;
    backend().drawing().setStaticBitmap(m_hWnd, bitmap);
    return previous;
}
