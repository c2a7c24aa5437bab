#include "layout/layout_dialog.h"

#include <cstdlib>

#include "platform/win_api.h"

namespace {

constexpr UINT SMALL_ICON = 128;
constexpr UINT GRIP_ID = 0xFFFF;
constexpr int GRIP_SIZE = 24; // the grip's size until its bitmap gives it its own

} // namespace

BEGIN_MESSAGE_MAP(LayoutDialog, CDialog)
ON_WM_SIZE()
ON_WM_GETMINMAXINFO()
END_MESSAGE_MAP()

LayoutDialog::LayoutDialog(UINT templateId, CWnd* parent, const char* section, bool showGrip)
    : CDialog(templateId, parent), LayoutHost(this, section), showGrip(showGrip) {}

LayoutDialog::~LayoutDialog() = default;

BOOL LayoutDialog::DestroyWindow() {
    if (!profileSection.empty()) {
        savePlacement(profileSection.c_str()); // while the window still exists
    }
    rootPane.reset();
    return CDialog::DestroyWindow();
}

BOOL LayoutDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    // There is no tree yet, so the size messages of this move leave the window as moved; the
    // derived dialog's updateLayout fits it to the tree later.
    if (!profileSection.empty()) {
        loadPlacement(profileSection.c_str());
    }
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(LoadIcon(SMALL_ICON)));
    if (!showGrip || !gripBitmap.LoadOEMBitmap(OBM_SIZE)) {
        return TRUE;
    }
    RECT client;
    GetClientRect(&client);
    const RECT rect{client.right - GRIP_SIZE, client.bottom - GRIP_SIZE, client.right,
                    client.bottom};
    if (!sizeGrip.Create(nullptr, WS_CHILD | SS_BITMAP, rect, this, GRIP_ID)) {
        return TRUE;
    }
    sizeGrip.SetBitmap(gripBitmap.GetSafeHandle());
    if (!anchorGrip()) {
        return TRUE;
    }
    sizeGrip.ShowWindow(SW_SHOW);
    sizeGrip.SetWindowPos(&CWnd::wndBottom, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
    return TRUE;
}

RECT LayoutDialog::layoutArea() {
    RECT area;
    GetClientRect(&area);
    if (showGrip && ::IsWindow(sizeGrip.GetSafeHwnd())) {
        RECT grip;
        sizeGrip.GetWindowRect(&grip);
        area.bottom += marginY - (grip.bottom - grip.top);
    }
    return area;
}

void LayoutDialog::OnSize(UINT, int cx, int cy) {
    Default();
    if (std::abs(cx) + std::abs(cy) == 0) {
        return; // minimised: nothing to lay out
    }
    if (::IsWindow(sizeGrip.GetSafeHwnd())) {
        anchorGrip();
    }
    updateLayout();
}

// The tracking limits while the user drags the frame. Without a tree the structure keeps the
// system's values; the default handling is not asked in either case.
void LayoutDialog::OnGetMinMaxInfo(MINMAXINFO* info) {
    if (!rootPane || !info) {
        return;
    }
    const SIZE frame = frameSize();
    info->ptMinTrackSize.x = frame.cx + rootPane->minWidth() + 2 * marginX;
    info->ptMinTrackSize.y = frame.cy + rootPane->minHeight() + 2 * marginY;
    const int maxWidth = rootPane->maxWidth();
    if (maxWidth != NO_LIMIT) {
        info->ptMaxTrackSize.x = maxWidth + 2 * marginX + frame.cx;
        info->ptMaxSize.x = info->ptMaxTrackSize.x;
    }
    const int maxHeight = rootPane->maxHeight();
    if (maxHeight != NO_LIMIT) {
        info->ptMaxTrackSize.y = maxHeight + 2 * marginY + frame.cy;
        info->ptMaxSize.y = info->ptMaxTrackSize.y;
    }
}

bool LayoutDialog::anchorGrip() {
    WINDOWPLACEMENT placement;
    if (!sizeGrip.GetWindowPlacement(&placement)) {
        return false;
    }
    RECT client;
    GetClientRect(&client);
    RECT& grip = placement.rcNormalPosition;
    grip.left += client.right - grip.right;
    grip.right = client.right;
    grip.top += client.bottom - grip.bottom;
    grip.bottom = client.bottom;
    placement.flags = 0;
    sizeGrip.SetWindowPlacement(&placement);
    // At the bottom of the Z order, so that controls overlapping it are drawn over it.
    sizeGrip.SetWindowPos(&CWnd::wndBottom, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
    return true;
}
