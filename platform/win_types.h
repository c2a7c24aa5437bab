#pragma once

// The window-system vocabulary the application code is written in: handles, geometry records,
// message numbers and flags, with the values of the platform the program was first drawn up for.

#include <cstdint>
#include <string>

using BOOL = int;
using BYTE = std::uint8_t;
using UINT = unsigned int;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using COLORREF = std::uint32_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using UINT_PTR = std::uintptr_t;
using DROPEFFECT = DWORD;
using CString = std::string;

inline constexpr BOOL TRUE = 1;
inline constexpr BOOL FALSE = 0;

// Opaque handles. The backends give them their meaning.
struct HWND__;
using HWND = HWND__*;
struct HDC__;
using HDC = HDC__*;
struct HMENU__;
using HMENU = HMENU__*;

struct Image;
struct IconResource;
class ImageList;
using HBITMAP = const Image*;
using HICON = const IconResource*;
using HCURSOR = HICON;
using HIMAGELIST = const ImageList*;

struct POINT {
    LONG x = 0;
    LONG y = 0;
};

struct SIZE {
    LONG cx = 0;
    LONG cy = 0;
};

struct RECT {
    LONG left = 0;
    LONG top = 0;
    LONG right = 0;
    LONG bottom = 0;

    LONG width() const { return right - left; }
    LONG height() const { return bottom - top; }
    friend bool operator==(const RECT&, const RECT&) = default;
};

/// What a WM_NOTIFY says first: which control, and what happened to it.
struct NMHDR {
    HWND hwndFrom = nullptr;
    UINT_PTR idFrom = 0;
    UINT code = 0;
};

/// A list view's notification; for LVN_COLUMNCLICK, iSubItem is the column clicked.
struct NMLISTVIEW {
    NMHDR hdr;
    int iItem = -1;
    int iSubItem = 0;
};

struct MINMAXINFO {
    POINT ptReserved;
    POINT ptMaxSize;
    POINT ptMaxPosition;
    POINT ptMinTrackSize;
    POINT ptMaxTrackSize;
};

struct WINDOWPLACEMENT {
    UINT length = sizeof(WINDOWPLACEMENT);
    UINT flags = 0;
    UINT showCmd = 0;
    POINT ptMinPosition;
    POINT ptMaxPosition;
    RECT rcNormalPosition;
};

constexpr COLORREF RGB(int r, int g, int b) {
    return COLORREF(r & 0xFF) | (COLORREF(g & 0xFF) << 8) | (COLORREF(b & 0xFF) << 16);
}
constexpr UINT LOWORD(std::uintptr_t v) {
    return UINT(v & 0xFFFF);
}
constexpr UINT HIWORD(std::uintptr_t v) {
    return UINT((v >> 16) & 0xFFFF);
}
constexpr WPARAM MAKEWPARAM(UINT lo, UINT hi) {
    return WPARAM((lo & 0xFFFF) | ((hi & 0xFFFF) << 16));
}
constexpr LPARAM MAKELPARAM(UINT lo, UINT hi) {
    return LPARAM((lo & 0xFFFF) | ((hi & 0xFFFF) << 16));
}

// Messages.
inline constexpr UINT WM_SIZE = 0x0005;
inline constexpr UINT WM_SETTEXT = 0x000C;
inline constexpr UINT WM_SETREDRAW = 0x000B;
inline constexpr UINT WM_PAINT = 0x000F;
inline constexpr UINT WM_CLOSE = 0x0010;
inline constexpr UINT WM_GETMINMAXINFO = 0x0024;
inline constexpr UINT WM_ICONERASEBKGND = 0x0027;
inline constexpr UINT WM_QUERYDRAGICON = 0x0037;
inline constexpr UINT WM_SETICON = 0x0080;
inline constexpr UINT WM_INITDIALOG = 0x0110;
inline constexpr UINT WM_COMMAND = 0x0111;
inline constexpr UINT WM_SYSCOMMAND = 0x0112;
inline constexpr UINT WM_PASTE = 0x0302;
inline constexpr UINT WM_NOTIFY = 0x004E;

// WM_SIZE types.
inline constexpr UINT SIZE_RESTORED = 0;
inline constexpr UINT SIZE_MINIMIZED = 1;
inline constexpr UINT SIZE_MAXIMIZED = 2;

// Notification and command IDs.
inline constexpr UINT BN_CLICKED = 0;
inline constexpr UINT CBN_SELCHANGE = 1;
inline constexpr UINT LVN_COLUMNCLICK = UINT(-108);
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr UINT ID_HELP = 0xE146;

// System commands (the low four bits are the system's own).
inline constexpr UINT SC_SIZE = 0xF000;
inline constexpr UINT SC_MOVE = 0xF010;
inline constexpr UINT SC_MINIMIZE = 0xF020;
inline constexpr UINT SC_CLOSE = 0xF060;
inline constexpr UINT SC_RESTORE = 0xF120;

// Window styles.
inline constexpr DWORD WS_POPUP = 0x80000000u;
inline constexpr DWORD WS_CHILD = 0x40000000u;
inline constexpr DWORD WS_VISIBLE = 0x10000000u;
inline constexpr DWORD WS_CAPTION = 0x00C00000u;
inline constexpr DWORD WS_BORDER = 0x00800000u;
inline constexpr DWORD WS_SYSMENU = 0x00080000u;
inline constexpr DWORD WS_THICKFRAME = 0x00040000u;
inline constexpr DWORD WS_GROUP = 0x00020000u;
inline constexpr DWORD WS_TABSTOP = 0x00010000u;
inline constexpr DWORD WS_EX_APPWINDOW = 0x00040000u;
inline constexpr DWORD DS_MODALFRAME = 0x80u;
inline constexpr DWORD DS_SETFONT = 0x40u;
inline constexpr DWORD BS_PUSHBUTTON = 0x0u;
inline constexpr DWORD BS_DEFPUSHBUTTON = 0x1u;
inline constexpr DWORD BS_AUTORADIOBUTTON = 0x9u;
inline constexpr DWORD SS_LEFT = 0x0u;
inline constexpr DWORD SS_BITMAP = 0xEu;
inline constexpr DWORD SS_LEFTNOWORDWRAP = 0xCu;
inline constexpr DWORD SS_NOPREFIX = 0x80u;
inline constexpr DWORD SS_ENDELLIPSIS = 0x4000u;
inline constexpr DWORD LVS_REPORT = 0x1u;
inline constexpr DWORD CBS_DROPDOWNLIST = 0x3u;

// ShowWindow commands.
inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOW = 5;
inline constexpr int SW_MINIMIZE = 6;
inline constexpr int SW_RESTORE = 9;

// SetWindowPos.
inline constexpr UINT SWP_NOSIZE = 0x0001;
inline constexpr UINT SWP_NOMOVE = 0x0002;
inline constexpr UINT SWP_NOZORDER = 0x0004;

// Icons, menus, metrics, list views, images.
inline constexpr WPARAM ICON_SMALL = 0;
inline constexpr WPARAM ICON_BIG = 1;
inline constexpr UINT MF_STRING = 0x0000;
inline constexpr UINT MF_SEPARATOR = 0x0800;
inline constexpr UINT MF_UNCHECKED = 0x0000;
inline constexpr UINT MF_CHECKED = 0x0008;
inline constexpr int SM_CXSCREEN = 0;
inline constexpr int SM_CYSCREEN = 1;
inline constexpr int SM_CXICON = 11;
inline constexpr int SM_CYICON = 12;
inline constexpr int LVCFMT_LEFT = 0;
inline constexpr int LVCFMT_RIGHT = 1;
inline constexpr int LVCFMT_CENTER = 2;
inline constexpr int LVCFMT_JUSTIFYMASK = 3;
inline constexpr UINT LVIS_SELECTED = 0x0002;
inline constexpr int LVSIL_NORMAL = 0;
inline constexpr int LVSIL_SMALL = 1;
inline constexpr int OBM_SIZE = 32766;
inline constexpr int CB_ERR = -1;

// Clipboard formats and drop effects.
inline constexpr UINT CF_TEXT = 1;
inline constexpr UINT CF_OEMTEXT = 7;
inline constexpr UINT CF_HDROP = 15;
inline constexpr DROPEFFECT DROPEFFECT_NONE = 0;
inline constexpr DROPEFFECT DROPEFFECT_COPY = 1;

// File dialog flags.
inline constexpr DWORD OFN_OVERWRITEPROMPT = 0x2;
inline constexpr DWORD OFN_HIDEREADONLY = 0x4;
inline constexpr DWORD OFN_ALLOWMULTISELECT = 0x200;

// Message box types.
inline constexpr UINT MB_OK = 0x0;
inline constexpr UINT MB_ICONERROR = 0x10;
inline constexpr UINT MB_ICONQUESTION = 0x20;
inline constexpr UINT MB_ICONWARNING = 0x30;
inline constexpr UINT MB_ICONINFORMATION = 0x40;
inline constexpr UINT MB_ICONMASK = 0xF0;
