#pragma once

#include "engine/checksum_list.h"
#include "engine/digest_files.h"
#include "engine/intake/file_drop_target.h"
#include "layout/layout_dialog.h"
#include "ui/result_report.h"
#include "ui/status_strip.h"
#include "ui/work_progress.h"
#include "ui/work_text.h"

/// Command ID of the system menu's About entry.
inline constexpr UINT ABOUT_COMMAND_ID = 0x0010;
/// Command ID the window posts itself to take the files it was given at start-up.
inline constexpr UINT START_FILES_COMMAND_ID = 0x8001;

/// The program's window: mode buttons, the result list, the report commands, OK and the status
/// strip. Files dropped on it are hashed ("Generate Checksums") or read as checksum lists and
/// verified ("Check Files"); long work shows its progress on the strip and can be stopped.
class MainDialog : public LayoutDialog,
                   public ResultSink,
                   public DropClient,
                   private FileDigestSink {
public:
    explicit MainDialog(CWnd* parent = nullptr);
    ~MainDialog() override;

    // Results (rows and report text).
    void addResult(const char* name, const Digest* expected, const Digest* actual,
                   int status) override;
    void clearResults();

    /// Handles droppedPath by the mode the buttons show now.
    void processDroppedPath();
    /// Verifies path as a checksum list (isList) or hashes it as one result. Always 0.
    int openAndDispatch(const CString& path, bool isList);
    /// The work of one drop: each path in turn, by the mode the buttons show then. A stop ends
    /// it; the strip then tells what came of it.
    void acceptDrop(const std::vector<CString>& paths) override;
    /// Before DoModal: the window opens in "Generate Checksums" mode when generate is set, and
    /// takes paths as one drop once it shows (from its modal loop).
    void startWith(std::vector<CString> paths, bool generate);

    FileDropTarget dropTarget;
    CString droppedPath;
    int verbose;
    int binary;
    ResultReport report; ///< resultList, statusImages and reportText
    int checkMode = -1;
    HICON appIcon = nullptr;
    StatusStrip strip;
    WorkProgress work;
    DropTally tally; ///< what the current or last drop came to

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
    /// Escape during long work stops the work; otherwise it closes the window.
    void OnCancel() override;
    void OnStartFiles();

    DECLARE_MESSAGE_MAP()

private:
    void buildLayout();
    /// Hashes every dropped path side by side; the rows come in drop order, each as
    /// processDroppedPath would make it.
    void generateSideBySide(const std::vector<CString>& paths);
    void fileDigested(std::size_t index, const std::string& path,
                      const FileDigest& result) override;
    /// The row of a hashed file: its digest, or a failure without a report line.
    void addDigestRow(const char* name, const FileDigest& result);
    /// Closes the window once the work of the drop is over: its close box was used meanwhile.
    bool m_closeAfterWork = false;

    std::vector<CString> m_startFiles;
    bool m_startGenerating = false;
};
