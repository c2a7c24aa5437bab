#pragma once

#include <optional>

#include "engine/intake/file_drop_target.h"
#include "layout/layout_dialog.h"
#include "platform/combo_box.h"
#include "ui/drop_work.h"
#include "ui/result_report.h"
#include "ui/status_strip.h"
#include "ui/work_progress.h"

/// Command ID of the system menu's About entry.
inline constexpr UINT ABOUT_COMMAND_ID = 0x0010;
/// Command ID of the system menu's "Compare with Clipboard" entry.
inline constexpr UINT COMPARE_COMMAND_ID = 0x0020;
/// Command IDs of the entries that find the problems among the rows, and their keys.
inline constexpr UINT PROBLEMS_ONLY_COMMAND_ID = 0x0030;
inline constexpr UINT NEXT_PROBLEM_COMMAND_ID = 0x0040;
inline constexpr UINT PREVIOUS_PROBLEM_COMMAND_ID = 0x0050;
inline constexpr const char* PROBLEMS_ONLY_KEYS = "Ctrl+P";
/// Command ID of "Add Files...", which opens the file chooser, and its keys.
inline constexpr UINT ADD_FILES_COMMAND_ID = 0x0060;
inline constexpr const char* ADD_FILES_KEYS = "Ctrl+O";
inline constexpr const char* NEXT_PROBLEM_KEYS = "F8";
inline constexpr const char* PREVIOUS_PROBLEM_KEYS = "Shift+F8";
/// Where the algorithm of new checksums is remembered in the profile.
inline constexpr const char* SETTINGS_SECTION = "Settings";
inline constexpr const char* ALGORITHM_KEY = "Algorithm";
/// Command ID the window posts itself to take the files it was given at start-up.
inline constexpr UINT START_FILES_COMMAND_ID = 0x8001;

/// The program's window: mode buttons, the result list, the report commands, OK and the status
/// strip. Files dropped on it are hashed ("Generate Checksums") or read as checksum lists and
/// verified ("Check Files"); long work shows its progress on the strip and can be stopped.
class MainDialog : public LayoutDialog, public DropResults, public DropClient {
public:
    explicit MainDialog(CWnd* parent = nullptr);
    ~MainDialog() override;

    // Results (rows and report text).
    void addResult(const char* name, const Digest* expected, const Digest* actual,
                   int status) override;
    void clearResults() override;
    void addNote(const char* name, const std::string& text, const std::string& detail,
                 int status) override;
    void addUnreadResult(const char* name, const Digest* expected, int status, int error) override;

    /// Reads a checksum from the clipboard and selects the rows that hold it; the strip says
    /// what came of it.
    void compareWithClipboard();
    /// Asks for files and folders and takes them as a drop in the current mode.
    void addFiles();
    /// Selects the next (or previous) problem row; the strip says which it is of how many.
    void goToProblem(bool forward);
    /// Shows only the problem rows, or every row again; the system menu's entry shows which.
    void showProblemsOnly(bool on);

    /// The work of one drop, by the mode the buttons show: every list checked, or every file
    /// hashed. A stop ends it; the strip then tells what came of it.
    void acceptDrop(const std::vector<CString>& paths) override;
    /// Before DoModal: the window opens in "Generate Checksums" mode when generate is set, with
    /// algorithm (if any) for new checksums, and takes paths as one drop once it shows (from its
    /// modal loop).
    void startWith(std::vector<CString> paths, bool generate,
                   std::optional<Algorithm> algorithm = std::nullopt);

    FileDropTarget dropTarget;
    int verbose;
    int binary;
    /// The algorithm of new checksums ("Generate Checksums"), shown in algorithmBox.
    Algorithm algorithm = Algorithm::Md5;
    CComboBox algorithmBox;
    ResultReport report; ///< resultList, statusImages and reportText
    int checkMode = -1;
    HICON appIcon = nullptr;
    StatusStrip strip;
    WorkProgress work;
    DropWork drop; ///< the current or last drop's work

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void arrange(RECT rect) override;

    void OnSysCommand(UINT id, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnToClipboard();
    void OnSaveAs();
    void OnClearList();
    void OnStop();
    void OnAlgorithmChange();
    /// Ctrl+V: compares the clipboard's checksum with the rows.
    void OnPaste();
    /// Escape during long work stops the work; otherwise it closes the window.
    void OnCancel() override;
    void OnStartFiles();
    void OnColumnClick(NMHDR* notice, LRESULT* result);

    DECLARE_MESSAGE_MAP()

private:
    void buildLayout();
    /// Fills the algorithm box and chooses the algorithm of new checksums.
    void setUpAlgorithms();
    /// Closes the window once the work of the drop is over: its close box was used meanwhile.
    bool m_closeAfterWork = false;

    std::vector<CString> m_startFiles;
    bool m_startGenerating = false;
    std::optional<Algorithm> m_startAlgorithm;
};
