#pragma once

#include <memory>
#include <unordered_map>

#include "platform/cmd_target.h"
#include "platform/win_api.h"
#include "platform/win_types.h"

class CDataExchange;
class CMenu;

/// A window object: holds a window handle, forwards to the backend, dispatches messages through
/// its message tables.
class CWnd : public CCmdTarget {
public:
    HWND m_hWnd = nullptr;

    static const CWnd wndTop;
    static const CWnd wndBottom;

    CWnd();
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND GetSafeHwnd() const { return m_hWnd; }
    /// The window object attached to wnd, or null.
    static CWnd* FromHandlePermanent(HWND wnd);
    /// Attaches this object to an existing window, so that its messages reach this object.
    BOOL Attach(HWND wnd);
    HWND Detach();
    BOOL SubclassWindow(HWND wnd) { return Attach(wnd); }

    // Messages.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    /// The default handling of the message being handled now.
    LRESULT Default();
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    /// Queues a message for this window's event loop (see WorkLoop::postMessage); FALSE without a
    /// window.
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    virtual BOOL DestroyWindow();

    // Geometry.
    void GetWindowRect(RECT* rect) const;
    void GetClientRect(RECT* rect) const;
    void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE);
    void MoveWindow(const RECT* rect, BOOL repaint = TRUE);
    BOOL SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags);
    BOOL GetWindowPlacement(WINDOWPLACEMENT* placement) const;
    BOOL SetWindowPlacement(const WINDOWPLACEMENT* placement);
    void ScreenToClient(RECT* rect) const;
    void ClientToScreen(RECT* rect) const;
    /// Centres this top-level window over its owner, or the screen when it has none.
    void CenterWindow(CWnd* alternateOwner = nullptr);
    BOOL ShowWindow(int cmd);
    BOOL IsWindowVisible() const;
    BOOL IsIconic() const;
    BOOL EnableWindow(BOOL enable = TRUE);
    BOOL IsWindowEnabled() const;

    // Content.
    void SetWindowText(const char* text);
    CString GetWindowText() const;
    /// Names this control for assistive technology (screen readers); a name set here stays when
    /// the control's text changes.
    void SetAccessibleName(const char* name);
    /// The child control with id, as a window object owned by this one; null when there is none.
    CWnd* GetDlgItem(int id) const;
    CMenu* GetSystemMenu(BOOL revert);
    HICON SetIcon(HICON icon, BOOL big);
    HICON GetIcon(BOOL big) const;
    void Invalidate(BOOL erase = TRUE);
    void InvalidateRect(const RECT* rect, BOOL erase = TRUE);
    int MessageBox(const char* text, const char* caption = nullptr, UINT type = MB_OK);

    // Data exchange.
    BOOL UpdateData(BOOL saveAndValidate = TRUE);
    virtual void DoDataExchange(CDataExchange* pDX);

    // Long work inside a handler (see WorkLoop::beginWork): only control stopId, Escape and the
    // close box take input until EndWork; ServeEvents lets the window system in meanwhile.
    void BeginWork(int stopId);
    void EndWork();
    void ServeEvents();
    /// See WorkLoop::servesInStep.
    bool ServesWorkInStep() const;

protected:
    // Default handlers, reachable from derived tables.
    void OnSize(UINT type, int cx, int cy);
    void OnGetMinMaxInfo(MINMAXINFO* info);
    void OnSysCommand(UINT id, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();

    static const AFX_MSGMAP* GetThisMessageMap();
    const AFX_MSGMAP* GetMessageMap() const override;

private:
    struct CurrentMessage {
        UINT message = 0;
        WPARAM wParam = 0;
        LPARAM lParam = 0;
    };
    CurrentMessage m_current;
    mutable std::unordered_map<int, std::unique_ptr<CWnd>> m_children;
    std::unique_ptr<CMenu> m_systemMenu;
};
