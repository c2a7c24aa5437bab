#pragma once

#include <string>
#include <vector>

#include "platform/headless/headless_records.h"
#include "platform/win_types.h"

class COleDataObject;
class HeadlessDesktop;
struct HeadlessWindow;

/// The simulated user of the headless window system: the actions a test performs as a user
/// would, run synchronously. Each returns false, and notes why in ignoredInput, when the window
/// cannot take it: not a window, hidden or disabled (itself or its dialog), minimised (except
/// where noted), or without the control or menu entry named. During long work only the work's
/// stop control takes a click; so it is with every action below that comes from the keyboard or
/// mouse, but for Escape and the close box.
class HeadlessUser {
public:
    explicit HeadlessUser(HeadlessDesktop& desktop) : m_desktop(desktop) {}

    /// Clicks control id of dialog: a push button sends BN_CLICKED; an automatic radio button is
    /// checked, the others of its group unchecked, then BN_CLICKED. The button takes the focus.
    bool click(HWND dialog, int id);
    /// Moves the keyboard focus to control id, as the Tab key would.
    bool focusControl(HWND dialog, int id);
    /// Enter: presses the focused push button, else the default push button, else IDOK.
    bool pressEnter(HWND dialog);
    /// Escape: WM_COMMAND IDCANCEL (BN_CLICKED).
    bool pressEscape(HWND dialog);
    /// Ctrl+V or Shift+Insert: WM_PASTE to the dialog. The headless window system has no control
    /// that edits text and would take the keys itself.
    bool pressPaste(HWND dialog);
    /// The close box: WM_SYSCOMMAND SC_CLOSE. Also works on a minimised window (taskbar).
    bool closeBox(HWND dialog);
    /// Minimises through WM_SYSCOMMAND SC_MINIMIZE, parking the window with the given client
    /// size.
    bool minimize(HWND wnd, int clientWidth = 0, int clientHeight = 0);
    /// Restores a minimised window through WM_SYSCOMMAND SC_RESTORE.
    bool restore(HWND wnd);
    /// Drags the bottom-right corner of the sizing frame to the given outer size, keeping the
    /// top-left corner; asks WM_GETMINMAXINFO first and clamps to its answer.
    bool dragFrame(HWND wnd, int outerWidth, int outerHeight);
    /// Picks entry index of drop-down list id: it is selected, the list takes the focus, and the
    /// dialog gets WM_COMMAND (id, CBN_SELCHANGE), also when the entry was selected already.
    bool chooseComboItem(HWND dialog, int id, int index);
    /// Picks the system-menu entry with id (WM_SYSCOMMAND id); false when there is none.
    bool chooseSystemMenu(HWND wnd, UINT id);
    /// Picks the system-menu entry with this text; false when there is none.
    bool chooseSystemMenu(HWND wnd, const std::string& text);
    /// Presses keys ("Ctrl+O", "Shift+F8"): chooses the system-menu entry whose text ends in a
    /// tab and these keys; false when there is none.
    bool pressKeys(HWND wnd, const std::string& keys);
    /// Clicks the header of column in list view id: the dialog gets WM_NOTIFY LVN_COLUMNCLICK.
    bool clickColumnHeader(HWND dialog, int id, int column);
    /// Asks the window to paint itself (WM_PAINT).
    bool paint(HWND wnd);
    /// Starts dragging a minimised window: the cursor that WM_QUERYDRAGICON answers, or the
    /// window's big icon when it answers null. Null when the window is not minimised.
    HICON dragMinimized(HWND wnd);
    /// Drags files over wnd and drops them on the drop target of wnd or of its nearest ancestor
    /// (see drops); true when the target took the drop (OnDrop ran).
    bool dropFiles(HWND wnd, std::vector<std::string> paths);
    /// Drags text over wnd and drops it; true when the target took the drop.
    bool dropText(HWND wnd, std::string text);
    /// Drags something that is neither files nor text over wnd; true when the target took it.
    bool dropNothing(HWND wnd);

    /// User actions that the window could not take, with the reason.
    const std::vector<std::string>& ignoredInput() const { return m_ignoredInput; }
    /// Every drag that reached a window, and what its drop target answered.
    const std::vector<DropRecord>& drops() const { return m_drops; }
    /// The answer to the last WM_GETMINMAXINFO of a frame drag.
    const MINMAXINFO& lastMinMaxInfo() const { return m_lastMinMaxInfo; }

private:
    /// Whether long work in the dialog lets an action through.
    enum class DuringWork { Dropped, Taken };

    /// True when wnd can take user input now; otherwise notes in ignoredInput why not.
    bool acceptsInput(HWND wnd, const char* action, bool whileMinimized = false,
                      DuringWork whileWorking = DuringWork::Dropped);
    void checkRadio(const HeadlessWindow& dialog, HWND radio);
    bool drop(HWND wnd, const char* action, COleDataObject& data);
    void ignore(std::string why) { m_ignoredInput.push_back(std::move(why)); }

    HeadlessDesktop& m_desktop;
    std::vector<std::string> m_ignoredInput;
    std::vector<DropRecord> m_drops;
    MINMAXINFO m_lastMinMaxInfo;
};
