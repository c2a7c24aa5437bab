#include "platform/gdi.h"

#include "platform/backend.h"
#include "platform/resources.h"

BOOL CBitmap::LoadBitmap(UINT id) {
    return Attach(Resources::bitmap(int(id)));
}

BOOL CBitmap::LoadOEMBitmap(UINT id) {
    // The system's own bitmaps are registered among the resources under their OBM_ numbers.
    return Attach(Resources::bitmap(int(id)));
}

BOOL CBitmap::Attach(HBITMAP bitmap) {
    if (!bitmap || m_hObject) {
        return FALSE;
    }
    m_hObject = bitmap;
    return TRUE;
}

CPaintDC::CPaintDC(CWnd* wnd) : m_hDC(backend().drawing().beginPaint(wnd->m_hWnd)), m_wnd(wnd) {}

CPaintDC::~CPaintDC() {
    backend().drawing().endPaint(m_wnd->m_hWnd, m_hDC);
}

BOOL CPaintDC::DrawIcon(int x, int y, HICON icon) {
    if (!icon) {
        return FALSE;
    }
    backend().drawing().drawIcon(m_hDC, x, y, icon);
    return TRUE;
}

HICON LoadIcon(UINT id) {
    return Resources::icon(int(id));
}
