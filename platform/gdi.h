#pragma once

#include "platform/wnd.h"

/// A bitmap loaded from the resources (or the system's own, such as OBM_SIZE).
class CBitmap {
public:
    HBITMAP m_hObject = nullptr;

    BOOL LoadBitmap(UINT id);
    BOOL LoadOEMBitmap(UINT id);
    BOOL Attach(HBITMAP bitmap);
    HBITMAP GetSafeHandle() const { return m_hObject; }
    void DeleteObject() { m_hObject = nullptr; }
};

/// The device context of one paint cycle: begins painting on construction, ends on destruction.
class CPaintDC {
public:
    explicit CPaintDC(CWnd* wnd);
    ~CPaintDC();
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;

    HDC GetSafeHdc() const { return m_hDC; }
    BOOL DrawIcon(int x, int y, HICON icon);

    HDC m_hDC;

private:
    CWnd* m_wnd;
};

/// Icon resource id, or null when there is none.
HICON LoadIcon(UINT id);
