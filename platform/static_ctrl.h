#pragma once

#include "platform/wnd.h"

/// A static control: text or a bitmap.
class CStatic : public CWnd {
public:
    BOOL Create(const char* text, DWORD style, const RECT& rect, CWnd* parent, UINT id);
    /// Shows bitmap; a bitmap control takes the bitmap's size, keeping its top-left corner.
    HBITMAP SetBitmap(HBITMAP bitmap);

private:
    HBITMAP m_bitmap = nullptr;
};
