#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/backend.h"
#include "platform/headless/headless_records.h"
#include "platform/headless/headless_window.h"

class COleDataObject;

/// A deterministic, synchronous window system kept in memory, for tests. The screen is
/// 1024 × 768; a dialog has a 4-pixel sizing frame and an 18-pixel caption; dialog units convert
/// with base units 6 × 13. Tests drive it as a user would (the actions below) and read what
/// happened (the records below). Messages reach the framework through SendMessage at once;
/// posted ones wait for a modal loop.
class HeadlessBackend : public Backend,
                        public WindowManager,
                        public Controls,
                        public ListControls,
                        public Drawing,
                        public SystemMenus,
                        public DesktopServices,
                        public WorkLoop,
                        public Clock {
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

    using Action = std::function<void(HWND dialog)>;

    HeadlessBackend() = default;
    ~HeadlessBackend() override;
    HeadlessBackend(const HeadlessBackend&) = delete;
    HeadlessBackend& operator=(const HeadlessBackend&) = delete;

    /// Horizontal dialog units to pixels: x × 6 / 4, rounded to nearest.
    static int dluToPixelsX(int x);
    /// Vertical dialog units to pixels: y × 13 / 8, rounded to nearest.
    static int dluToPixelsY(int y);

    // The Backend interface.
    WindowManager& windows() override { return *this; }
    Controls& controls() override { return *this; }
    ListControls& lists() override { return *this; }
    Drawing& drawing() override { return *this; }
    SystemMenus& menus() override { return *this; }
    DesktopServices& services() override { return *this; }
    WorkLoop& loop() override { return *this; }
    Clock& clock() override { return *this; }

    HWND createDialog(const DialogTemplate& tmpl, HWND owner) override;
    HWND createControl(HWND parent, ControlKind kind, const std::string& text, DWORD style,
                       const RECT& rect, int id) override;
    void destroyWindow(HWND wnd) override;
    bool isWindow(HWND wnd) const override;
    HWND dialogItem(HWND dialog, int id) const override;
    HWND parentOf(HWND wnd) const override;
    HWND nextControl(HWND control) const override;
    ControlKind controlKind(HWND control) const override;
    DWORD controlStyle(HWND control) const override;

    RECT windowRect(HWND wnd) const override;
    RECT clientRect(HWND wnd) const override;
    POINT clientOrigin(HWND wnd) const override;
    void moveWindow(HWND wnd, int x, int y, int cx, int cy) override;
    void setZOrder(HWND wnd, ZOrder where) override;
    void showWindow(HWND wnd, ShowCommand command) override;
    bool isVisible(HWND wnd) const override;
    bool isIconic(HWND wnd) const override;
    void enableWindow(HWND wnd, bool enable) override;
    bool isEnabled(HWND wnd) const override;
    SIZE screenSize() const override;

    void setWindowText(HWND wnd, const std::string& text) override;
    std::string windowText(HWND wnd) const override;
    bool isChecked(HWND button) const override;
    void setChecked(HWND button, bool checked) override;

    void setRedraw(HWND wnd, bool redraw) override;
    void invalidate(HWND wnd) override;
    HDC beginPaint(HWND wnd) override;
    void endPaint(HWND wnd, HDC dc) override;
    void drawIcon(HDC dc, int x, int y, HICON icon) override;
    void setIcon(HWND wnd, IconSize size, HICON icon) override;
    HICON windowIcon(HWND wnd, IconSize size) const override;
    void setStaticBitmap(HWND control, HBITMAP bitmap) override;

    void listInsertColumn(HWND list, int position, const std::string& heading,
                          ColumnAlignment alignment, int width) override;
    int listInsertItem(HWND list, int position, const std::string& text, int image) override;
    bool listSetItemText(HWND list, int item, int subItem, const std::string& text) override;
    void listDeleteAllItems(HWND list) override;
    int listItemCount(HWND list) const override;
    std::string listItemText(HWND list, int item, int subItem) const override;
    int listItemImage(HWND list, int item) const override;
    void listSetImageList(HWND list, HIMAGELIST images, ImageListKind kind) override;

    void setProgress(HWND bar, int position, int range) override;

    HMENU systemMenu(HWND wnd) override;
    bool appendMenu(HMENU menu, MenuEntryKind kind, UINT_PTR id, const std::string& text) override;

    /// Runs the queued actions in order, each given dialog's handle, until endModal; when the
    /// queue runs dry the dialog is closed by its close box, and ended with IDCANCEL if it
    /// refuses. Posted messages go first: before each action, every message waiting is sent.
    /// -1 for a handle that is not a window.
    int runModal(HWND dialog) override;
    void endModal(HWND dialog, int result) override;
    void beginWork(HWND dialog, int stopId) override;
    void endWork(HWND dialog) override;
    /// Runs the next action queued with duringWork, if any.
    void serveEvents(HWND dialog) override;
    /// clockMs, moved on by clockStepMs at every reading.
    std::uint64_t tickCount() override;
    bool postMessage(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam) override;

    bool setClipboardText(HWND owner, const std::string& bytes) override;
    bool saveFileDialog(HWND owner, OverwritePrompt prompt, std::string& path) override;
    void messageBox(HWND owner, const std::string& text, const std::string& caption,
                    MessageBoxKind kind) override;
    bool registerDropTarget(HWND wnd, COleDropTarget* target) override;
    void revokeDropTarget(HWND wnd) override;

    // Settings a test chooses.
    /// Client size of a minimised window (what painting the parked window sees); 0 × 0 first.
    SIZE minimizedClientSize;
    /// While true the clipboard cannot be opened: setClipboardText fails, the content stays.
    bool clipboardFails = false;
    /// The clock: it stands still unless a test moves it or gives it a step per reading.
    std::uint64_t clockMs = 0;
    std::uint64_t clockStepMs = 0;

    // User actions, run synchronously. Each returns false, and notes why in ignoredInput, when
    // the window cannot take it: not a window, hidden or disabled (itself or its dialog),
    // minimised (except where noted), or without the control or menu entry named.
    /// Queues an action for the modal loops.
    void queue(Action action);
    /// Queues an action for the serving points of long work, one per serveEvents. An action that
    /// returns false stays first in the queue and is tried again at the next serving point.
    void duringWork(std::function<bool(HWND dialog)> action);
    /// Queues the answer to the next save dialog: the user picks path.
    void answerSave(std::string path);
    /// Queues the answer to the next save dialog: the user cancels.
    void cancelSave();
    /// Clicks control id of dialog: a push button sends BN_CLICKED; an automatic radio button is
    /// checked, the others of its group unchecked, then BN_CLICKED. The button takes the focus.
    /// During long work only the work's stop control takes a click; so it is with every action
    /// below that comes from the keyboard or mouse, but for Escape and the close box.
    bool click(HWND dialog, int id);
    /// Moves the keyboard focus to control id, as the Tab key would.
    bool focusControl(HWND dialog, int id);
    /// Enter: presses the focused push button, else the default push button, else IDOK.
    bool pressEnter(HWND dialog);
    /// Escape: WM_COMMAND IDCANCEL (BN_CLICKED).
    bool pressEscape(HWND dialog);
    /// The close box: WM_SYSCOMMAND SC_CLOSE. Also works on a minimised window (taskbar).
    bool closeBox(HWND dialog);
    /// Minimises through WM_SYSCOMMAND SC_MINIMIZE, parking the window with the given client
    /// size (stored in minimizedClientSize).
    bool minimize(HWND wnd, int clientWidth = 0, int clientHeight = 0);
    /// Restores a minimised window through WM_SYSCOMMAND SC_RESTORE.
    bool restore(HWND wnd);
    /// Drags the bottom-right corner of the sizing frame to the given outer size, keeping the
    /// top-left corner; asks WM_GETMINMAXINFO first and clamps to its answer.
    bool dragFrame(HWND wnd, int outerWidth, int outerHeight);
    /// Picks the system-menu entry with id (WM_SYSCOMMAND id); false when there is none.
    bool chooseSystemMenu(HWND wnd, UINT id);
    /// Picks the system-menu entry with this text; false when there is none.
    bool chooseSystemMenu(HWND wnd, const std::string& text);
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

    // Records.
    /// The record of a live window, or null.
    const HeadlessWindow* record(HWND wnd) const;
    /// Live top-level windows, oldest first.
    std::vector<HWND> topLevelWindows() const;
    /// The newest live dialog made from template id, or null.
    HWND findDialog(int templateId) const;
    /// The live children of parent, topmost first.
    std::vector<HWND> zOrder(HWND parent) const;
    /// The entries of wnd's system menu; empty when it has none.
    std::vector<MenuEntry> systemMenuEntries(HWND wnd) const;
    /// The control with the keyboard focus in dialog, or null.
    HWND focusedControl(HWND dialog) const;
    /// How many times message was sent to wnd.
    int sentCount(HWND wnd, UINT message) const;

    /// Changes in order: "move", "redraw off", "redraw on", "invalidate", "zorder top",
    /// "zorder bottom", "show", "hide", "minimize", "restore", "enable", "disable", "destroy",
    /// each followed by the window: "dialog <template ID>" or "control <ID>".
    std::vector<std::string> events;
    /// Every message the backend sent, in order.
    std::vector<SentMessage> sentMessages;
    /// User actions that the window could not take, with the reason.
    std::vector<std::string> ignoredInput;
    /// Icons drawn while painting.
    std::vector<PaintedIcon> paintedIcons;
    /// The clipboard's plain text, byte for byte, and whether it holds any.
    std::string clipboardText;
    bool clipboardHasText = false;
    HWND clipboardOwner = nullptr;
    /// Successful clipboard writes.
    int clipboardWrites = 0;
    std::vector<SaveDialogRecord> saveDialogs;
    std::vector<MessageBoxRecord> messageBoxes;
    std::vector<DropRecord> drops;
    /// The dialogs whose modal loop started, in order.
    std::vector<HWND> modalRuns;
    /// Modal loops closed by the close box because the queue ran dry.
    int autoCloses = 0;
    /// Modal loops that refused that close and were ended with IDCANCEL.
    int forcedEnds = 0;
    int workBegun = 0;
    int workEnded = 0;
    int serveCalls = 0;
    /// The answer to the last WM_GETMINMAXINFO of a frame drag.
    MINMAXINFO lastMinMaxInfo;

private:
    HeadlessWindow* find(HWND wnd) const;
    HeadlessWindow* findControl(HWND dialog, int id) const;
    HWND newWindow(std::unique_ptr<HeadlessWindow> window);
    void unlink(HWND wnd, HeadlessWindow& window);
    std::string describe(const HeadlessWindow& window) const;
    void logEvent(const char* what, const HeadlessWindow& window);
    LRESULT send(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam);
    /// Moves without asking anyone; sends WM_SIZE when the size changed.
    void place(HWND wnd, const RECT& rect);
    void minimizeNow(HWND wnd);
    void restoreNow(HWND wnd);
    /// True when wnd can take user input now; otherwise notes in ignoredInput why not.
    /// Long work lets through only what whileWorking allows.
    enum class DuringWork { Dropped, Taken };
    bool acceptsInput(HWND wnd, const char* action, bool whileMinimized = false,
                      DuringWork whileWorking = DuringWork::Dropped);
    void checkRadio(const HeadlessWindow& dialog, HWND radio);
    bool drop(HWND wnd, const char* action, COleDataObject& data);

    std::unordered_map<HWND, HeadlessWindow*> m_live;
    std::vector<std::unique_ptr<HeadlessWindow>> m_records; // every record ever made, live or not
    std::vector<HWND> m_topLevel;                           // live top-level windows, oldest first
    std::vector<HWND> m_topZOrder;                          // the same, topmost first
    std::deque<Action> m_actions;
    std::deque<std::function<bool(HWND)>> m_workActions;
    std::deque<SentMessage> m_posted;
    std::deque<std::optional<std::string>> m_saveAnswers;
};
