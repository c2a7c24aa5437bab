#pragma once

#include <QRect>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "platform/backend.h"
#include "platform/qt/qt_dialog_units.h"
#include "platform/qt/qt_standard_dialogs.h"
#include "platform/qt/qt_text_widths.h"
#include "platform/steady_clock.h"

class QComboBox;
class QMenu;
class QWidget;
class QtInputBlocker;
class QtReportModel;
struct QtWindow;

/// The backend of the desktop program: the framework's windows as Qt 6 Widgets.
///
/// Construct it after the QApplication and install it with setBackend before any window is
/// made; destroy it (after uninstalling) before the QApplication goes. Everything runs on the
/// thread of the QApplication. A window handle is the address of the backend's record of the
/// window; records outlive their windows until the backend goes, so a stale handle is never
/// mistaken for a newer window.
class QtBackend : public Backend,
                  public WindowManager,
                  public Controls,
                  public ListControls,
                  public Drawing,
                  public SystemMenus,
                  public DesktopServices,
                  public WorkLoop {
public:
    QtBackend();
    ~QtBackend() override;
    QtBackend(const QtBackend&) = delete;
    QtBackend& operator=(const QtBackend&) = delete;

    /// Shows the save dialog and message boxes with dialogs (not owned) from now on; null goes
    /// back to Qt's own.
    void setDialogs(QtDialogs* dialogs);

    /// The widget of a live window (a QtDialogWidget, or a control's widget), or null.
    QWidget* widget(HWND wnd) const;
    /// The rows of a live list view, or null.
    QtReportModel* listModel(HWND list) const;
    /// The system menu of a live dialog, or null.
    QMenu* systemMenuWidget(HWND wnd) const;
    /// The longest time the last long work went without serving events (see serveEvents).
    std::chrono::microseconds longestWorkGap() const { return m_longestGap; }
    /// The dialog units of the font dialogs use.
    int baseUnitX() const;
    int baseUnitY() const;

    WindowManager& windows() override { return *this; }
    Controls& controls() override { return *this; }
    ListControls& lists() override { return *this; }
    Drawing& drawing() override { return *this; }
    SystemMenus& menus() override { return *this; }
    DesktopServices& services() override { return *this; }
    WorkLoop& loop() override { return *this; }
    Clock& clock() override { return m_clock; }

    // WindowManager.
    HWND createDialog(const DialogTemplate& tmpl, HWND owner) override;
    void destroyWindow(HWND wnd) override;
    bool isWindow(HWND wnd) const override;
    SIZE screenSize() const override;
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

    // Controls.
    HWND createControl(HWND parent, ControlKind kind, const std::string& text, DWORD style,
                       const RECT& rect, int id) override;
    HWND dialogItem(HWND dialog, int id) const override;
    HWND parentOf(HWND wnd) const override;
    HWND nextControl(HWND control) const override;
    ControlKind controlKind(HWND control) const override;
    DWORD controlStyle(HWND control) const override;
    void setWindowText(HWND wnd, const std::string& text) override;
    std::string windowText(HWND wnd) const override;
    void setAccessibleName(HWND control, const std::string& name) override;
    bool isChecked(HWND button) const override;
    void setChecked(HWND button, bool checked) override;
    void setProgress(HWND bar, int position, int range) override;

    // ListControls.
    void listInsertColumn(HWND list, int position, const std::string& heading,
                          ColumnAlignment alignment, int width) override;
    int listInsertItem(HWND list, int position, const std::string& text, int image) override;
    bool listSetItemText(HWND list, int item, int subItem, const std::string& text) override;
    void listDeleteAllItems(HWND list) override;
    int listItemCount(HWND list) const override;
    std::string listItemText(HWND list, int item, int subItem) const override;
    int listItemImage(HWND list, int item) const override;
    void listSetImageList(HWND list, HIMAGELIST images, ImageListKind kind) override;
    void listSetColumnWidth(HWND list, int column, int width) override;
    /// Selects through the view's selection model, so the rows show highlighted and assistive
    /// technology reads them as selected, as a selection the user made would be. The rows of
    /// several calls reach the selection model together when the event loop runs next.
    void listSetSelected(HWND list, int item, bool selected) override;
    /// Scrolls the rows only: a list scrolled sideways stays so.
    void listEnsureVisible(HWND list, int item) override;
    int listFirstSelected(HWND list) const override;
    void listSetItemDescription(HWND list, int item, const std::string& text) override;
    void listSetSortIndicator(HWND list, int column, SortDirection direction) override;
    void listSetColumnOrder(HWND list, const std::vector<int>& order) override;
    int listTextWidth(HWND list, const std::string& text) const override;
    int listColumnSpace(HWND list) const override;
    int comboAddString(HWND combo, const std::string& text) override;
    int comboCount(HWND combo) const override;
    int comboSelection(HWND combo) const override;
    int comboSelect(HWND combo, int index) override;
    void comboResetContent(HWND combo) override;

    // Drawing.
    void setRedraw(HWND wnd, bool redraw) override;
    void invalidate(HWND wnd) override;
    HDC beginPaint(HWND wnd) override;
    void endPaint(HWND wnd, HDC dc) override;
    void drawIcon(HDC dc, int x, int y, HICON icon) override;
    void setIcon(HWND wnd, IconSize size, HICON icon) override;
    HICON windowIcon(HWND wnd, IconSize size) const override;
    void setStaticBitmap(HWND control, HBITMAP bitmap) override;

    // SystemMenus.
    HMENU systemMenu(HWND wnd) override;
    bool appendMenu(HMENU menu, MenuEntryKind kind, UINT_PTR id, const std::string& text) override;
    bool checkMenuEntry(HMENU menu, UINT_PTR id, bool checked) override;

    // DesktopServices.
    bool setClipboardText(HWND owner, const std::string& bytes) override;
    /// Another program's text arrives as Qt decodes it, in UTF-8; raw plain-text bytes, such as
    /// the ones setClipboardText puts there, arrive as they are.
    bool clipboardText(std::string& text) override;
    bool saveFileDialog(HWND owner, OverwritePrompt prompt, SaveChoices& choices,
                        std::string& path) override;
    bool openFilesDialog(HWND owner, std::vector<std::string>& paths) override;
    void messageBox(HWND owner, const std::string& text, const std::string& caption,
                    MessageBoxKind kind) override;
    bool registerDropTarget(HWND wnd, COleDropTarget* target) override;
    void revokeDropTarget(HWND wnd) override;

    // WorkLoop.
    int runModal(HWND dialog) override;
    void endModal(HWND dialog, int result) override;
    void beginWork(HWND dialog, int stopId) override;
    void endWork(HWND dialog) override;
    void serveEvents(HWND dialog) override;
    /// Delivered from the Qt event loop, as a queued call on the window's widget.
    bool postMessage(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    struct PaintContext;

    /// The live window wnd, or null (also for stale and foreign handles).
    QtWindow* find(HWND wnd) const;
    QtWindow* findList(HWND list) const;
    /// The widget of a live drop-down list, or null.
    QComboBox* findCombo(HWND combo) const;
    /// The dialog a window belongs to: itself, or a control's parent.
    QtWindow* topLevelOf(QtWindow* window) const;
    QtWindow* newRecord();
    HWND makeControl(QtWindow& dialog, ControlKind kind, const std::string& text, DWORD style,
                     const QRect& rect, int id);
    void retire(QtWindow& window);
    /// Announces every list's pending rows to its view.
    void flushLists();
    static constexpr std::chrono::milliseconds FLUSH_INTERVAL{100};
    /// Notes the time since the work last served events, keeping the longest.
    void markServed();

    std::vector<std::unique_ptr<QtWindow>> m_records; ///< every record ever made
    std::unordered_set<const QtWindow*> m_live;
    std::unordered_set<const PaintContext*> m_paints;
    QtInputBlocker* m_blocker;
    int m_busy = 0;
    std::chrono::steady_clock::time_point m_lastServed;
    std::chrono::steady_clock::time_point m_lastFlushed;
    std::chrono::microseconds m_longestGap{0};
    SteadyClock m_clock;
    QtStandardDialogs m_standardDialogs;
    QtDialogs* m_dialogs = &m_standardDialogs;
    mutable QtTextWidths m_listTextWidths;
    const QtDialogUnits& dialogUnits() const;
    mutable QFont m_unitsFont;
    mutable std::optional<QtDialogUnits> m_units;
};
