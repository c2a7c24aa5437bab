#include "ui/main_dialog.h"

#include "layout/layout_pane.h"
#include "platform/backend.h"
#include "platform/clipboard.h"
#include "platform/data_exchange.h"
#include "platform/file_dialog.h"
#include "platform/gdi.h"
#include "platform/menu.h"
#include "platform/resources.h"
#include "platform/win_app.h"
#include "res/resource.h"
#include "ui/about_dialog.h"

namespace {

// The narrowest the strip's text gets while the bar shows, in pixels.
constexpr int STRIP_TEXT_MIN = 60;

} // namespace

BEGIN_MESSAGE_MAP(MainDialog, LayoutDialog)
ON_WM_SYSCOMMAND()
ON_WM_PAINT()
ON_WM_QUERYDRAGICON()
ON_BN_CLICKED(IDC_TO_CLIPBOARD, OnToClipboard)
ON_BN_CLICKED(IDC_SAVE_AS, OnSaveAs)
ON_WM_SIZE()
ON_BN_CLICKED(IDC_CLEAR_LIST, OnClearList)
ON_BN_CLICKED(IDC_STOP, OnStop)
ON_CBN_SELCHANGE(IDC_ALGORITHM, OnAlgorithmChange)
ON_WM_PASTE()
ON_COMMAND(START_FILES_COMMAND_ID, OnStartFiles)
ON_NOTIFY(LVN_COLUMNCLICK, IDC_RESULT_LIST, OnColumnClick)
END_MESSAGE_MAP()

MainDialog::MainDialog(CWnd* parent)
    : LayoutDialog(IDD_DIGESTOR_DIALOG, parent, nullptr, true), verbose(0), binary(1),
      report(*this), strip(*this), work(*this, strip, IDC_STOP), drop(*this, work) {
    checkMode = -1;
    appIcon = LoadIcon(IDR_MAINFRAME);
}

MainDialog::~MainDialog() = default;

void MainDialog::DoDataExchange(CDataExchange* pDX) {
    LayoutDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_RESULT_LIST, report.resultList);
    DDX_Control(pDX, IDC_ALGORITHM, algorithmBox);
    DDX_Radio(pDX, IDC_CHECK_FILES, checkMode);
}

BOOL MainDialog::OnInitDialog() {
    LayoutDialog::OnInitDialog();

    if (CMenu* systemMenu = GetSystemMenu(FALSE)) {
        CString aboutText;
        Resources::loadString(IDS_ABOUTBOX, aboutText);
        // The window's own command goes with the system's, before the About entry that ends
        // the menu.
        const auto withKeys = [](const char* text, const char* keys) {
            return std::string(text) + '\t' + keys;
        };
        systemMenu->AppendMenu(MF_STRING, ADD_FILES_COMMAND_ID,
                               withKeys("Add Files...", ADD_FILES_KEYS).c_str());
        systemMenu->AppendMenu(MF_STRING, COMPARE_COMMAND_ID, "Compare with Clipboard");
        systemMenu->AppendMenu(MF_STRING, PROBLEMS_ONLY_COMMAND_ID,
                               withKeys("Show Problems Only", PROBLEMS_ONLY_KEYS).c_str());
        systemMenu->AppendMenu(MF_STRING, NEXT_PROBLEM_COMMAND_ID,
                               withKeys("Next Problem", NEXT_PROBLEM_KEYS).c_str());
        systemMenu->AppendMenu(MF_STRING, PREVIOUS_PROBLEM_COMMAND_ID,
                               withKeys("Previous Problem", PREVIOUS_PROBLEM_KEYS).c_str());
        if (!aboutText.empty()) {
            systemMenu->AppendMenu(MF_SEPARATOR);
            systemMenu->AppendMenu(MF_STRING, ABOUT_COMMAND_ID, aboutText.c_str());
        }
    }

    SetIcon(appIcon, TRUE);
    SetIcon(appIcon, FALSE);

    dropTarget.Register(this);

    binary = 1;
    verbose = 0;

    report.setUpList();
    strip.setUp();
    setUpAlgorithms();
    buildLayout();

    checkMode = m_startGenerating ? 1 : 0;
    UpdateData(FALSE);

    updateLayout();
    if (!m_startFiles.empty()) {
        PostMessage(WM_COMMAND, START_FILES_COMMAND_ID);
    }
    return TRUE;
}

void MainDialog::setUpAlgorithms() {
    algorithmBox.SetAccessibleName("Algorithm");
    for (int i = 0; i < ALGORITHM_COUNT; ++i) {
        algorithmBox.AddString(algorithmTitle(static_cast<Algorithm>(i)));
    }
    // The command line's choice, else the one remembered, else MD5.
    if (!m_startAlgorithm) {
        CWinApp* app = AfxGetApp();
        const int remembered = app ? app->GetProfileInt(SETTINGS_SECTION, ALGORITHM_KEY, 0) : 0;
        algorithm = remembered >= 0 && remembered < ALGORITHM_COUNT
                        ? static_cast<Algorithm>(remembered)
                        : Algorithm::Md5;
    }
    algorithmBox.SetCurSel(static_cast<int>(algorithm));
}

void MainDialog::OnAlgorithmChange() {
    const int chosen = algorithmBox.GetCurSel();
    if (chosen < 0 || chosen >= ALGORITHM_COUNT) {
        return;
    }
    algorithm = static_cast<Algorithm>(chosen);
    if (CWinApp* app = AfxGetApp()) {
        app->WriteProfileInt(SETTINGS_SECTION, ALGORITHM_KEY, chosen);
    }
}

void MainDialog::buildLayout() {
    auto* topRow = new LayoutPane(this, HORIZONTAL, 5, 0);
    auto* secondRow = new LayoutPane(this, HORIZONTAL, 5, 0);
    for (int id : {IDOK, IDC_CLEAR_LIST, IDC_CHECK_FILES, IDC_GENERATE}) {
        topRow->addItem(id, WIDTH_FIXED | HEIGHT_FIXED, 0, 0, 0, 0);
    }
    for (int id : {IDC_TO_CLIPBOARD, IDC_SAVE_AS}) {
        secondRow->addItem(id, WIDTH_FIXED | HEIGHT_FIXED, 0, 0, 0, 0);
    }
    // The drop-down's visible label, its mnemonic giving it the focus.
    for (int id : {IDC_ALGORITHM_LABEL, IDC_ALGORITHM}) {
        secondRow->addItem(id, WIDTH_FIXED | HEIGHT_FIXED | ALIGN_CENTER_Y, 0, 0, 0, 0);
    }
    // The status strip: the text takes what the bar, the details and Stop leave; all of them
    // centred on the row's height.
    auto* stripRow = new LayoutPane(this, HORIZONTAL, 5, 0);
    stripRow->addItem(IDC_STATUS_TEXT, HEIGHT_FIXED | ALIGN_CENTER_Y, 0, 0, STRIP_TEXT_MIN, 0);
    for (int id : {IDC_PROGRESS, IDC_PROGRESS_DETAILS}) {
        stripRow->addItem(id, WIDTH_FIXED | HEIGHT_FIXED | ALIGN_CENTER_Y, 0, 0, 0, 0);
    }
    stripRow->addItem(IDC_STOP, WIDTH_FIXED | HEIGHT_FIXED, 0, 0, 0, 0);

    rootPane = std::make_unique<LayoutPane>(this, VERTICAL, 5, 0);
    rootPane->addPane(topRow, HEIGHT_FIXED, 0);
    rootPane->addPane(secondRow, HEIGHT_FIXED, 0);
    rootPane->addItem(IDC_RESULT_LIST, 0, 0, 0, 0, 0);
    rootPane->addPane(stripRow, HEIGHT_FIXED, 0);
}

void MainDialog::arrange(RECT rect) {
    if (rect.bottom == rect.top || rect.right == rect.left) {
        return;
    }
    if (rootPane) {
        rootPane->place(rect);
        strip.arrange();
        report.fitColumns();
    }
}

void MainDialog::OnSysCommand(UINT id, LPARAM lParam) {
    if ((id & 0xFFF0) == SC_CLOSE && work.running()) {
        work.requestStop();
        m_closeAfterWork = true;
        return;
    }
    switch (id & 0xFFF0) {
    case COMPARE_COMMAND_ID:
        compareWithClipboard();
        return;
    case ADD_FILES_COMMAND_ID:
        addFiles();
        return;
    case PROBLEMS_ONLY_COMMAND_ID:
        showProblemsOnly(!report.problemsOnly());
        return;
    case NEXT_PROBLEM_COMMAND_ID:
    case PREVIOUS_PROBLEM_COMMAND_ID:
        goToProblem((id & 0xFFF0) == NEXT_PROBLEM_COMMAND_ID);
        return;
    default:
        break;
    }
    if ((id & 0xFFF0) == ABOUT_COMMAND_ID) {
        AboutDialog about;
        about.DoModal();
        return;
    }
    CWnd::OnSysCommand(id, lParam);
}

void MainDialog::OnPaint() {
    if (!IsIconic()) {
        CWnd::OnPaint();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    const int cxIcon = GetSystemMetrics(SM_CXICON);
    const int cyIcon = GetSystemMetrics(SM_CYICON);
    RECT client;
    GetClientRect(&client);
    const int x = (client.width() - cxIcon + 1) / 2;
    const int y = (client.height() - cyIcon + 1) / 2;
    dc.DrawIcon(x, y, appIcon);
}

HCURSOR MainDialog::OnQueryDragIcon() {
    return appIcon;
}

void MainDialog::addResult(const char* name, const Digest* expected, const Digest* actual,
                           int status) {
    report.addResult(name, expected, actual, status);
}

void MainDialog::addNote(const char* name, const std::string& text, const std::string& detail,
                         int status) {
    report.addNote(name, text, detail, status);
}

void MainDialog::addUnreadResult(const char* name, const Digest* expected, int status, int error) {
    report.addUnreadResult(name, expected, status, error);
}

void MainDialog::clearResults() {
    report.clearResults();
}

void MainDialog::OnToClipboard() {
    report.OnToClipboard();
}

void MainDialog::OnSaveAs() {
    report.OnSaveAs();
}

void MainDialog::OnClearList() {
    report.OnClearList();
}

void MainDialog::OnPaste() {
    compareWithClipboard();
}

void MainDialog::compareWithClipboard() {
    CString text;
    PastedChecksum checksum;
    if (!GetClipboardText(text) || !parsePastedChecksum(text, checksum)) {
        strip.showOutcome("The clipboard holds no checksum");
        return;
    }
    const std::vector<int> rows = report.rowsMatching(checksum);
    report.selectRows(rows);
    strip.showOutcome(comparisonText(
        checksum, rows.empty() ? CString() : report.resultList.GetItemText(rows.front(), 0),
        static_cast<int>(rows.size()), report.holdsAlgorithmOf(checksum)));
}

void MainDialog::addFiles() {
    CFileDialog chooser(TRUE, nullptr, nullptr, OFN_ALLOWMULTISELECT, nullptr, this);
    if (chooser.DoModal() == IDOK) {
        acceptDrop(chooser.GetPathNames());
    }
}

void MainDialog::goToProblem(bool forward) {
    const int row = report.goToProblem(forward);
    if (row < 0) {
        strip.showOutcome(report.problemsOnly() || report.resultList.GetItemCount() > 0
                              ? "No problems in the list"
                              : "The list is empty");
        return;
    }
    const ResultRow* shown = report.rowAt(row);
    strip.showOutcome("Problem " + groupedNumber(report.problemPlace(row)) + " of " +
                      groupedNumber(report.problemsShown()) + ": " + shown->name + ", " +
                      (shown->error != 0 ? "could not be read: " + reasonText(shown->error)
                                         : statusCell(*shown)));
}

void MainDialog::showProblemsOnly(bool on) {
    report.setProblemsOnly(on);
    if (CMenu* systemMenu = GetSystemMenu(FALSE)) {
        systemMenu->CheckMenuItem(PROBLEMS_ONLY_COMMAND_ID, on ? MF_CHECKED : MF_UNCHECKED);
    }
    if (on) {
        const int problems = report.problemsShown();
        strip.showOutcome(problems == 0 ? std::string("No problems in the list")
                                        : "Showing " + groupedNumber(problems) +
                                              (problems == 1 ? " problem" : " problems") + " only");
    } else {
        strip.showOutcome("Showing every row");
    }
}

void MainDialog::OnColumnClick(NMHDR* notice, LRESULT* result) {
    report.clickColumn(reinterpret_cast<NMLISTVIEW*>(notice)->iSubItem);
    *result = 0;
}

void MainDialog::OnStop() {
    work.requestStop();
}

void MainDialog::OnCancel() {
    if (work.running()) {
        work.requestStop();
        return;
    }
    LayoutDialog::OnCancel();
}

void MainDialog::acceptDrop(const std::vector<CString>& paths) {
    // One drop's work at a time: the window takes no drop while it works, and nothing else may
    // start another inside it.
    if (work.running()) {
        return;
    }
    // The mode cannot change during the work (the buttons take no input then), so reading it
    // once for the drop is reading it for every path.
    UpdateData(TRUE);
    DropSettings settings;
    settings.verbose = verbose != 0;
    settings.binary = binary != 0;
    settings.algorithm = algorithm;
    report.setGenerating(checkMode == 1);
    drop.run(paths, checkMode == 0, settings);
    report.workEnded();
    strip.showOutcome(outcomeText(drop.tally()));
    if (m_closeAfterWork) {
        m_closeAfterWork = false;
        SendMessage(WM_SYSCOMMAND, SC_CLOSE);
    }
}

void MainDialog::startWith(std::vector<CString> paths, bool generate,
                           std::optional<Algorithm> algorithm) {
    m_startFiles = std::move(paths);
    m_startGenerating = generate;
    m_startAlgorithm = algorithm;
    if (algorithm) {
        this->algorithm = *algorithm;
    }
}

void MainDialog::OnStartFiles() {
    const std::vector<CString> paths = std::move(m_startFiles);
    m_startFiles.clear();
    acceptDrop(paths);
}
