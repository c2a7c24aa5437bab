#include "platform/wnd.h"

#include <vector>

#include "platform/backend.h"
#include "platform/data_exchange.h"
#include "platform/menu.h"
#include "platform/win_app.h"

namespace {

std::unordered_map<HWND, CWnd*>& permanentMap() {
    static std::unordered_map<HWND, CWnd*> map;
    return map;
}

// After a window is destroyed, its children are gone too: detach every object that still holds
// a dead handle, so that a handle value reused later never reaches a stale object.
void detachDeadWindows() {
    std::vector<CWnd*> dead;
    for (auto& [hwnd, wnd] : permanentMap()) {
        if (!backend().windows().isWindow(hwnd)) {
            dead.push_back(wnd);
        }
    }
    for (CWnd* wnd : dead) {
        wnd->Detach();
    }
}

// The window system's way of showing a window for a ShowWindow command; every command that
// does not hide, minimise or restore shows the window as it is.
ShowCommand showCommandFor(int cmd) {
    switch (cmd) {
    case SW_HIDE:
        return ShowCommand::Hide;
    case SW_MINIMIZE:
        return ShowCommand::Minimize;
    case SW_RESTORE:
        return ShowCommand::Restore;
    default:
        return ShowCommand::Show;
    }
}

MessageBoxKind messageBoxKindFor(UINT type) {
    switch (type & MB_ICONMASK) {
    case MB_ICONERROR:
        return MessageBoxKind::Error;
    case MB_ICONQUESTION:
        return MessageBoxKind::Question;
    case MB_ICONWARNING:
        return MessageBoxKind::Warning;
    case MB_ICONINFORMATION:
        return MessageBoxKind::Information;
    default:
        return MessageBoxKind::Plain;
    }
}

} // namespace

const CWnd CWnd::wndTop;
const CWnd CWnd::wndBottom;

CWnd::CWnd() = default;

CWnd::~CWnd() {
    Detach();
}

CWnd* CWnd::FromHandlePermanent(HWND wnd) {
    auto it = permanentMap().find(wnd);
    return it == permanentMap().end() ? nullptr : it->second;
}

BOOL CWnd::Attach(HWND wnd) {
    if (!wnd || m_hWnd) {
        return FALSE;
    }
    m_hWnd = wnd;
    permanentMap()[wnd] = this;
    return TRUE;
}

HWND CWnd::Detach() {
    HWND wnd = m_hWnd;
    if (wnd) {
        auto it = permanentMap().find(wnd);
        if (it != permanentMap().end() && it->second == this) {
            permanentMap().erase(it);
        }
    }
    m_hWnd = nullptr;
    m_children.clear();
    return wnd;
}

const AFX_MSGMAP* CWnd::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, AfxSig_end, {.vv = nullptr}}};
    static const AFX_MSGMAP map = {&CCmdTarget::GetThisMessageMap, &entries[0]};
    return &map;
}

const AFX_MSGMAP* CWnd::GetMessageMap() const {
    return GetThisMessageMap();
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    const CurrentMessage saved = m_current;
    m_current = {message, wParam, lParam};
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result)) {
        result = DefWindowProc(message, wParam, lParam);
    }
    m_current = saved;
    return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (message == WM_COMMAND) {
        if (!OnCommand(wParam, lParam)) {
            return FALSE;
        }
        *result = 1;
        return TRUE;
    }
    if (message == WM_NOTIFY) {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        const AFX_MSGMAP_ENTRY* e =
            header ? findEntry(GetMessageMap(), message, header->code, UINT(header->idFrom))
                   : nullptr;
        if (!e) {
            return FALSE;
        }
        *result = 0;
        (this->*e->pfn.vNMHDRpl)(header, result);
        return TRUE;
    }
    const AFX_MSGMAP_ENTRY* e = findEntry(GetMessageMap(), message, 0, 0);
    if (!e) {
        return FALSE;
    }
    *result = 0;
    switch (e->nSig) {
    case AfxSig_vwii:
        (this->*e->pfn.vwii)(UINT(wParam), int(LOWORD(WPARAM(lParam))),
                             int(HIWORD(WPARAM(lParam))));
        break;
    case AfxSig_vMMI:
        (this->*e->pfn.vMMI)(reinterpret_cast<MINMAXINFO*>(lParam));
        break;
    case AfxSig_vwl:
        (this->*e->pfn.vwl)(UINT(wParam), lParam);
        break;
    case AfxSig_hv:
        *result = reinterpret_cast<LRESULT>((this->*e->pfn.hv)());
        break;
    case AfxSig_wv:
        (this->*e->pfn.wv)();
        break;
    case AfxSig_vv:
        (this->*e->pfn.vv)();
        break;
    case AfxSig_vNMHDRpl:
    case AfxSig_end:
        return FALSE;
    }
    return TRUE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM) {
    const UINT id = LOWORD(wParam);
    const UINT code = HIWORD(wParam);
    if (OnCmdMsg(id, code)) {
        return TRUE;
    }
    // Commands nobody in the window handles go on to the application, as in the framework.
    CWinApp* app = AfxGetApp();
    return app && app->m_pMainWnd == this && app->OnCmdMsg(id, code);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProc(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() {
    return DefWindowProc(m_current.message, m_current.wParam, m_current.lParam);
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::SendMessage(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::IsWindow(m_hWnd) && backend().loop().postMessage(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::DestroyWindow() {
    if (!::IsWindow(m_hWnd)) {
        return FALSE;
    }
    HWND wnd = m_hWnd;
    backend().windows().destroyWindow(wnd);
    Detach();
    detachDeadWindows();
    return TRUE;
}

void CWnd::GetWindowRect(RECT* rect) const {
    ::GetWindowRect(m_hWnd, rect);
}

void CWnd::GetClientRect(RECT* rect) const {
    ::GetClientRect(m_hWnd, rect);
}

void CWnd::MoveWindow(int x, int y, int width, int height, BOOL repaint) {
    ::MoveWindow(m_hWnd, x, y, width, height, repaint);
}

void CWnd::MoveWindow(const RECT* rect, BOOL repaint) {
    MoveWindow(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, repaint);
}

BOOL CWnd::SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags) {
    if (!::IsWindow(m_hWnd)) {
        return FALSE;
    }
    if (!(flags & SWP_NOZORDER)) {
        backend().windows().setZOrder(m_hWnd,
                                      insertAfter == &wndBottom ? ZOrder::Bottom : ZOrder::Top);
    }
    if ((flags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE)) {
        WINDOWPLACEMENT wp;
        GetWindowPlacement(&wp);
        RECT r = wp.rcNormalPosition;
        if (!(flags & SWP_NOMOVE)) {
            r = {x, y, x + r.width(), y + r.height()};
        }
        if (!(flags & SWP_NOSIZE)) {
            r.right = r.left + cx;
            r.bottom = r.top + cy;
        }
        MoveWindow(&r, TRUE);
    }
    return TRUE;
}

BOOL CWnd::GetWindowPlacement(WINDOWPLACEMENT* placement) const {
    if (!::IsWindow(m_hWnd) || !placement) {
        return FALSE;
    }
    *placement = WINDOWPLACEMENT{};
    placement->showCmd = backend().windows().isIconic(m_hWnd) ? SW_MINIMIZE : SW_SHOW;
    // A child's placement is in its parent's client coordinates, a top-level window's on the
    // screen.
    RECT r = backend().windows().windowRect(m_hWnd);
    if (HWND parent = backend().controls().parentOf(m_hWnd)) {
        const POINT origin = backend().windows().clientOrigin(parent);
        r = {r.left - origin.x, r.top - origin.y, r.right - origin.x, r.bottom - origin.y};
    }
    placement->rcNormalPosition = r;
    return TRUE;
}

BOOL CWnd::SetWindowPlacement(const WINDOWPLACEMENT* placement) {
    if (!::IsWindow(m_hWnd) || !placement) {
        return FALSE;
    }
    MoveWindow(&placement->rcNormalPosition, TRUE);
    return TRUE;
}

void CWnd::ScreenToClient(RECT* rect) const {
    const POINT origin = backend().windows().clientOrigin(m_hWnd);
    *rect = {rect->left - origin.x, rect->top - origin.y, rect->right - origin.x,
             rect->bottom - origin.y};
}

void CWnd::ClientToScreen(RECT* rect) const {
    const POINT origin = backend().windows().clientOrigin(m_hWnd);
    *rect = {rect->left + origin.x, rect->top + origin.y, rect->right + origin.x,
             rect->bottom + origin.y};
}

void CWnd::CenterWindow(CWnd* alternateOwner) {
    RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (alternateOwner && ::IsWindowVisible(alternateOwner->m_hWnd) &&
        !::IsIconic(alternateOwner->m_hWnd)) {
        alternateOwner->GetWindowRect(&area);
    }
    RECT r;
    GetWindowRect(&r);
    const int x = area.left + (area.width() - r.width()) / 2;
    const int y = area.top + (area.height() - r.height()) / 2;
    MoveWindow(x, y, r.width(), r.height(), FALSE);
}

BOOL CWnd::ShowWindow(int cmd) {
    if (!::IsWindow(m_hWnd)) {
        return FALSE;
    }
    const BOOL wasVisible = backend().windows().isVisible(m_hWnd);
    backend().windows().showWindow(m_hWnd, showCommandFor(cmd));
    return wasVisible;
}

BOOL CWnd::IsWindowVisible() const {
    return ::IsWindowVisible(m_hWnd);
}

BOOL CWnd::IsIconic() const {
    return ::IsIconic(m_hWnd);
}

BOOL CWnd::EnableWindow(BOOL enable) {
    if (!::IsWindow(m_hWnd)) {
        return FALSE;
    }
    const BOOL wasDisabled = !backend().windows().isEnabled(m_hWnd);
    backend().windows().enableWindow(m_hWnd, enable != 0);
    return wasDisabled;
}

BOOL CWnd::IsWindowEnabled() const {
    return ::IsWindow(m_hWnd) && backend().windows().isEnabled(m_hWnd);
}

void CWnd::SetWindowText(const char* text) {
    SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : ""));
}

CString CWnd::GetWindowText() const {
    return ::IsWindow(m_hWnd) ? backend().controls().windowText(m_hWnd) : CString();
}

void CWnd::SetAccessibleName(const char* name) {
    if (::IsWindow(m_hWnd)) {
        backend().controls().setAccessibleName(m_hWnd, name ? name : "");
    }
}

CWnd* CWnd::GetDlgItem(int id) const {
    HWND child = ::GetDlgItem(m_hWnd, id);
    if (!child) {
        return nullptr;
    }
    if (CWnd* permanent = FromHandlePermanent(child)) {
        return permanent;
    }
    // A control nobody has bound: lend a window object that lives as long as this one.
    std::unique_ptr<CWnd>& temporary = m_children[id];
    if (!temporary) {
        temporary = std::make_unique<CWnd>();
    }
    temporary->m_hWnd = child;
    return temporary.get();
}

CMenu* CWnd::GetSystemMenu(BOOL) {
    HMENU menu = ::IsWindow(m_hWnd) ? backend().menus().systemMenu(m_hWnd) : nullptr;
    if (!menu) {
        return nullptr;
    }
    if (!m_systemMenu) {
        m_systemMenu = std::make_unique<CMenu>();
    }
    m_systemMenu->m_hMenu = menu;
    return m_systemMenu.get();
}

HICON CWnd::SetIcon(HICON icon, BOOL big) {
    return reinterpret_cast<HICON>(
        SendMessage(WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
}

HICON CWnd::GetIcon(BOOL big) const {
    return ::IsWindow(m_hWnd)
               ? backend().drawing().windowIcon(m_hWnd, big ? IconSize::Big : IconSize::Small)
               : nullptr;
}

void CWnd::Invalidate(BOOL erase) {
    InvalidateRect(nullptr, erase);
}

// The backends repaint whole windows, with their background.
void CWnd::InvalidateRect(const RECT*, BOOL) {
    if (::IsWindow(m_hWnd)) {
        backend().drawing().invalidate(m_hWnd);
    }
}

int CWnd::MessageBox(const char* text, const char* caption, UINT type) {
    CString title = caption ? CString(caption) : CString();
    if (!caption) {
        CWinApp* app = AfxGetApp();
        title = app ? app->m_appName : CString();
    }
    // Every message box here has just an OK button, so OK is always the answer.
    backend().services().messageBox(m_hWnd, text ? text : "", title, messageBoxKindFor(type));
    return IDOK;
}

BOOL CWnd::UpdateData(BOOL saveAndValidate) {
    CDataExchange dx(this, saveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

void CWnd::DoDataExchange(CDataExchange*) {}

void CWnd::BeginWork(int stopId) {
    if (::IsWindow(m_hWnd)) {
        backend().loop().beginWork(m_hWnd, stopId);
    }
}

void CWnd::EndWork() {
    if (::IsWindow(m_hWnd)) {
        backend().loop().endWork(m_hWnd);
    }
}

void CWnd::ServeEvents() {
    if (::IsWindow(m_hWnd)) {
        backend().loop().serveEvents(m_hWnd);
    }
}

bool CWnd::ServesWorkInStep() const {
    return backend().loop().servesInStep();
}

void CWnd::OnSize(UINT, int, int) {
    Default();
}

void CWnd::OnGetMinMaxInfo(MINMAXINFO*) {
    Default();
}

void CWnd::OnSysCommand(UINT, LPARAM) {
    Default();
}

void CWnd::OnPaint() {
    Default();
}

HCURSOR CWnd::OnQueryDragIcon() {
    return reinterpret_cast<HCURSOR>(Default());
}
