#pragma once

#include <QPointer>
#include <QSize>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "platform/resources.h"
#include "platform/win_types.h"

class QEventLoop;
class QtDropSite;
class QtListSelection;
class QtReportModel;
class QtSystemMenu;

/// One window or control of the Qt backend: the widget and what the framework knows of it that
/// Qt does not keep. Its address is the window handle the framework holds.
struct QtWindow {
    QtWindow();
    ~QtWindow();
    QtWindow(const QtWindow&) = delete;
    QtWindow& operator=(const QtWindow&) = delete;

    HWND handle() { return reinterpret_cast<HWND>(this); }

    /// Sends a message to the framework, counted as a dispatch (see dispatching).
    LRESULT send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    /// True while the framework runs code called from a Qt event or signal; a widget destroyed
    /// then may still be on the call stack and is deleted later instead of at once.
    static bool dispatching();

    /// Marks the framework code run meanwhile as a dispatch.
    class Dispatch {
    public:
        Dispatch();
        ~Dispatch();
        Dispatch(const Dispatch&) = delete;
        Dispatch& operator=(const Dispatch&) = delete;
    };

    /// The first control of this dialog with id, or null.
    QtWindow* item(int id) const;
    /// The automatic radio buttons of this control's group: from the last control at or before
    /// it that starts a group (WS_GROUP) up to the next control that starts one.
    std::vector<QtWindow*> radioGroup() const;

    QPointer<QWidget> widget;
    bool isDialog = false;
    ControlKind kind = ControlKind::StaticText;
    int id = 0;
    DWORD style = 0;
    std::string text;                ///< the window text as the framework set it, byte for byte
    std::string accessibleName;      ///< the name set for assistive technology; empty: none
    QtWindow* parent = nullptr;      ///< a control's dialog
    QtWindow* owner = nullptr;       ///< a dialog's owner window
    std::vector<QtWindow*> controls; ///< a dialog's controls in creation (tab) order

    // Sizing (see QtWindowSizer).
    QSize sentSize;         ///< client size last reported by WM_SIZE
    int sizeMessages = 0;   ///< WM_SIZE messages being handled right now
    bool moving = false;    ///< inside moveWindow: it reports the size itself
    bool limiting = false;  ///< inside the tracking-limit update
    bool everShown = false; ///< frame margins are known only for windows once shown

    // Dialog state.
    int defaultId = IDOK; ///< the control Enter presses when no push button has the focus
    bool enabled = true;  ///< false: the window takes no input (an owned modal dialog runs)
    int busy = 0;         ///< nesting of beginWork: long work runs, input is dropped
    int stopId = 0;       ///< the control that still takes a press while long work runs
    bool inPaint = false;
    HICON bigIcon = nullptr;
    HICON smallIcon = nullptr;
    std::unique_ptr<QtDropSite> dropSite;
    std::unique_ptr<QtSystemMenu> systemMenu;
    QEventLoop* modalLoop = nullptr; ///< the running modal loop, if any
    int* modalResult = nullptr;      ///< where endModal puts the result of that loop
    bool endedEarly = false;         ///< endModal came before runModal
    int earlyResult = 0;

    QtReportModel* model = nullptr;       ///< a list view's rows; owned by its view
    QtListSelection* selection = nullptr; ///< what the program selects in it; owned by the view
    bool isSizeGrip = false;
};
