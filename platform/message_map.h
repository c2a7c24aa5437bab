#pragma once

#include "platform/win_types.h"

// Static message tables. Each class that handles messages declares a table with
// DECLARE_MESSAGE_MAP() and defines it between BEGIN_MESSAGE_MAP(Class, Base) and
// END_MESSAGE_MAP(); a table chains to its base class's, and what no table handles goes to the
// window's default handling.

class CCmdTarget;
class CWnd;

/// A command handler: a member of the target with no arguments.
using AFX_PMSG = void (CCmdTarget::*)();

/// A handler as stored in a table; the entry's signature code says which member is set.
union AfxHandler {
    AFX_PMSG vv;
    void (CWnd::*wv)();
    void (CWnd::*vwii)(UINT, int, int);
    void (CWnd::*vMMI)(MINMAXINFO*);
    void (CWnd::*vwl)(UINT, LPARAM);
    HCURSOR (CWnd::*hv)();
    void (CWnd::*vNMHDRpl)(NMHDR*, LRESULT*);
};

enum AfxSig : UINT {
    AfxSig_end = 0,
    AfxSig_vv,       ///< void (CCmdTarget::*)() — commands and OnPaint-like handlers
    AfxSig_vwii,     ///< void (CWnd::*)(UINT, int, int) — OnSize
    AfxSig_vMMI,     ///< void (CWnd::*)(MINMAXINFO*) — OnGetMinMaxInfo
    AfxSig_vwl,      ///< void (CWnd::*)(UINT, LPARAM) — OnSysCommand
    AfxSig_hv,       ///< HCURSOR (CWnd::*)() — OnQueryDragIcon
    AfxSig_wv,       ///< void (CWnd::*)() — window messages without arguments (OnPaint, OnPaste)
    AfxSig_vNMHDRpl, ///< void (CWnd::*)(NMHDR*, LRESULT*) — a control's WM_NOTIFY
};

struct AFX_MSGMAP_ENTRY {
    UINT nMessage; ///< WM_* number
    UINT nCode;    ///< notification code, for WM_COMMAND and WM_NOTIFY
    UINT nID;      ///< control or command ID, for WM_COMMAND and WM_NOTIFY
    AfxSig nSig;
    AfxHandler pfn;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

#define DECLARE_MESSAGE_MAP()                                                                      \
protected:                                                                                         \
    static const AFX_MSGMAP* GetThisMessageMap();                                                  \
    const AFX_MSGMAP* GetMessageMap() const override;

// The table macros open and close braces across macros, which a formatter cannot follow: they
// keep the layout written here.
// clang-format off
#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                     \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); }              \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {                                              \
        using ThisClass = theClass;                                                                \
        using TheBaseClass = baseClass;                                                            \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP()                                                                          \
    {0, 0, 0, AfxSig_end, {.vv = nullptr}}                                                         \
    }                                                                                              \
    ;                                                                                              \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]};  \
    return &messageMap;                                                                            \
    }

#define AFX_HANDLER(sig, type, fn) {.sig = static_cast<type>(&ThisClass::fn)}

#define ON_COMMAND(id, fn) {WM_COMMAND, 0, UINT(id), AfxSig_vv, AFX_HANDLER(vv, AFX_PMSG, fn)},
#define ON_BN_CLICKED(id, fn)                                                                      \
    {WM_COMMAND, BN_CLICKED, UINT(id), AfxSig_vv, AFX_HANDLER(vv, AFX_PMSG, fn)},
#define ON_CBN_SELCHANGE(id, fn)                                                                   \
    {WM_COMMAND, CBN_SELCHANGE, UINT(id), AfxSig_vv, AFX_HANDLER(vv, AFX_PMSG, fn)},
/// A control's notification code from control id (WM_NOTIFY); fn(NMHDR*, LRESULT*).
#define ON_NOTIFY(code, id, fn)                                                                    \
    {WM_NOTIFY, UINT(code), UINT(id), AfxSig_vNMHDRpl,                                             \
     AFX_HANDLER(vNMHDRpl, void (CWnd::*)(NMHDR*, LRESULT*), fn)},
#define ON_WM_SIZE()                                                                               \
    {WM_SIZE, 0, 0, AfxSig_vwii, AFX_HANDLER(vwii, void (CWnd::*)(UINT, int, int), OnSize)},
#define ON_WM_GETMINMAXINFO()                                                                      \
    {WM_GETMINMAXINFO, 0, 0, AfxSig_vMMI,                                                          \
     AFX_HANDLER(vMMI, void (CWnd::*)(MINMAXINFO*), OnGetMinMaxInfo)},
#define ON_WM_SYSCOMMAND()                                                                         \
    {WM_SYSCOMMAND, 0, 0, AfxSig_vwl,                                                              \
     AFX_HANDLER(vwl, void (CWnd::*)(UINT, LPARAM), OnSysCommand)},
#define ON_WM_PAINT() {WM_PAINT, 0, 0, AfxSig_wv, AFX_HANDLER(wv, void (CWnd::*)(), OnPaint)},
/// The user asked to paste (Ctrl+V, Shift+Insert) with the focus in no control that edits text.
#define ON_WM_PASTE() {WM_PASTE, 0, 0, AfxSig_wv, AFX_HANDLER(wv, void (CWnd::*)(), OnPaste)},
#define ON_WM_QUERYDRAGICON()                                                                      \
    {WM_QUERYDRAGICON, 0, 0, AfxSig_hv, AFX_HANDLER(hv, HCURSOR (CWnd::*)(), OnQueryDragIcon)},
// clang-format on
