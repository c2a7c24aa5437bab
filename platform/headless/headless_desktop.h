#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/headless/headless_records.h"
#include "platform/headless/headless_window.h"

/// The windows of the headless window system and what all its parts share: the records of the
/// windows, their stacking, the sending of messages and the log of changes. The screen is
/// 1024 × 768, and dialog units convert with base units 6 × 13. Messages reach the framework
/// through SendMessage at once.
class HeadlessDesktop {
public:
    static constexpr int SCREEN_WIDTH = 1024;
    static constexpr int SCREEN_HEIGHT = 768;
    /// Where the system parks a minimised window's top-left corner.
    static constexpr int PARKED = -32000;
    /// The system's smallest tracking size, offered in WM_GETMINMAXINFO before a frame drag.
    static constexpr int MIN_TRACK_WIDTH = 112;
    static constexpr int MIN_TRACK_HEIGHT = 27;
    /// The system's largest tracking size exceeds the screen by this much.
    static constexpr int MAX_TRACK_EXTRA = 12;

    /// Horizontal dialog units to pixels: x × 6 / 4, rounded to nearest.
    static int dluToPixelsX(int x);
    /// Vertical dialog units to pixels: y × 13 / 8, rounded to nearest.
    static int dluToPixelsY(int y);

    HeadlessDesktop();
    ~HeadlessDesktop();
    HeadlessDesktop(const HeadlessDesktop&) = delete;
    HeadlessDesktop& operator=(const HeadlessDesktop&) = delete;

    // The windows, for the backend's parts.
    /// The record of a live window, or null (also for null and destroyed handles).
    HeadlessWindow* find(HWND wnd) const;
    /// The live control of dialog with id, or null.
    HeadlessWindow* findControl(HWND dialog, int id) const;
    /// The handle of a window: the address of its record.
    static HWND handle(const HeadlessWindow& window);
    /// Adds a top-level window, above the others.
    HWND addDialog(std::unique_ptr<HeadlessWindow> window);
    /// Adds a control to dialog parent, below its other controls; null when parent is no window.
    HWND addControl(HWND parent, ControlKind kind, const std::string& text, DWORD style,
                    const RECT& rect, int id);
    /// Takes wnd off the live windows. Its record stays, so that the handle is never reused.
    void remove(HWND wnd);
    /// The stacking of parent's children, topmost first; of the top-level windows for null.
    std::vector<HWND>& stacking(HWND parent);
    /// True when wnd and every window it sits in are shown.
    bool isShown(HWND wnd) const;

    // Changes.
    /// Sends a message to the framework and notes it in sentMessages.
    LRESULT send(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam);
    /// Moves without asking anyone; sends WM_SIZE when the size changed.
    void place(HWND wnd, const RECT& rect);
    /// Notes a change of window in events: what, then "dialog <template ID>" or "control <ID>".
    void logEvent(const char* what, const HeadlessWindow& window);
    static std::string describe(const HeadlessWindow& window);
    /// The client size of the next minimised window (what painting the parked window sees).
    SIZE minimizedClientSize() const { return m_minimizedClientSize; }
    void setMinimizedClientSize(SIZE size) { m_minimizedClientSize = size; }

    // What tests read.
    /// The record of a live window, or null.
    const HeadlessWindow* record(HWND wnd) const { return find(wnd); }
    /// Live top-level windows, oldest first.
    const std::vector<HWND>& topLevelWindows() const { return m_topLevel; }
    /// The newest live dialog made from template id, or null.
    HWND findDialog(int templateId) const;
    /// The live children of parent, topmost first; the top-level windows for null.
    std::vector<HWND> zOrder(HWND parent) const;
    /// The control with the keyboard focus in dialog, or null.
    HWND focusedControl(HWND dialog) const;
    /// Changes in order: "move", "redraw off", "redraw on", "invalidate", "zorder top",
    /// "zorder bottom", "show", "hide", "minimize", "restore", "enable", "disable", "drag",
    /// "destroy", each followed by the window.
    const std::vector<std::string>& events() const { return m_events; }
    /// Every message the backend sent, in order.
    const std::vector<SentMessage>& sentMessages() const { return m_sent; }
    /// How many times message was sent to wnd.
    int sentCount(HWND wnd, UINT message) const;

private:
    /// Makes window live and keeps its record for good.
    HWND keep(std::unique_ptr<HeadlessWindow> window);

    std::unordered_map<HWND, HeadlessWindow*> m_live;
    std::vector<std::unique_ptr<HeadlessWindow>> m_records; // every record ever made
    std::vector<HWND> m_topLevel;                           // live top-level windows, oldest first
    std::vector<HWND> m_topZOrder;                          // the same, topmost first
    std::vector<std::string> m_events;
    std::vector<SentMessage> m_sent;
    SIZE m_minimizedClientSize;
};
