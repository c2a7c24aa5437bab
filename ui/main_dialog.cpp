#include "ui/main_dialog.h"

#include <unistd.h>

#include "engine/file_digest.h"
#include "engine/path_split.h"
#include "layout/layout_pane.h"
#include "platform/backend.h"
#include "platform/data_exchange.h"
#include "platform/file_stream.h"
#include "platform/gdi.h"
#include "platform/menu.h"
#include "platform/resources.h"
#include "res/resource.h"
#include "ui/about_dialog.h"

BEGIN_MESSAGE_MAP(MainDialog, LayoutDialog)
ON_WM_SYSCOMMAND()
ON_WM_PAINT()
ON_WM_QUERYDRAGICON()
ON_BN_CLICKED(IDC_TO_CLIPBOARD, OnToClipboard)
ON_BN_CLICKED(IDC_SAVE_AS, OnSaveAs)
ON_WM_SIZE()
ON_BN_CLICKED(IDC_CLEAR_LIST, OnClearList)
ON_COMMAND(START_FILES_COMMAND_ID, OnStartFiles)
END_MESSAGE_MAP()

MainDialog::MainDialog(CWnd* parent)
    : LayoutDialog(IDD_DIGESTOR_DIALOG, parent, nullptr, true), verbose(0), binary(1),
      report(*this) {
    checkMode = -1;
    appIcon = LoadIcon(IDR_MAINFRAME);
}

MainDialog::~MainDialog() = default;

void MainDialog::DoDataExchange(CDataExchange* pDX) {
    LayoutDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_RESULT_LIST, report.resultList);
    DDX_Radio(pDX, IDC_CHECK_FILES, checkMode);
}

BOOL MainDialog::OnInitDialog() {
    LayoutDialog::OnInitDialog();

    if (CMenu* systemMenu = GetSystemMenu(FALSE)) {
        CString aboutText;
        Resources::loadString(IDS_ABOUTBOX, aboutText);
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
    buildLayout();

    checkMode = m_startGenerating ? 1 : 0;
    UpdateData(FALSE);

    updateLayout();
    if (!m_startFiles.empty()) {
        PostMessage(WM_COMMAND, START_FILES_COMMAND_ID);
    }
    return TRUE;
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
    rootPane = std::make_unique<LayoutPane>(this, VERTICAL, 5, 0);
    rootPane->addPane(topRow, HEIGHT_FIXED, 0);
    rootPane->addPane(secondRow, HEIGHT_FIXED, 0);
    rootPane->addItem(IDC_RESULT_LIST, 0, 0, 0, 0, 0);
}

void MainDialog::arrange(RECT rect) {
    if (rect.bottom == rect.top || rect.right == rect.left) {
        return;
    }
    if (rootPane) {
        rootPane->place(rect);
    }
}

void MainDialog::OnSysCommand(UINT id, LPARAM lParam) {
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
    // Rows appear while a long drop is still being worked through.
    KeepAlive();
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

void MainDialog::acceptDrop(const std::vector<CString>& paths) {
    // The window shows it is busy but keeps repainting.
    BeginWaitCursor();
    for (const CString& path : paths) {
        droppedPath = path;
        processDroppedPath();
        KeepAlive();
    }
    EndWaitCursor();
}

void MainDialog::processDroppedPath() {
    UpdateData(TRUE);
    std::string folder;
    std::string fileName;
    splitDroppedPath(droppedPath, folder, fileName);
    if (checkMode == 0) {
        clearResults();
        // A failed change of folder leaves the path to be opened from the current one.
        [[maybe_unused]] const int changed = ::chdir(folder.c_str());
        openAndDispatch(droppedPath, true);
    } else {
        [[maybe_unused]] const int changed = ::chdir(folder.c_str());
        droppedPath = fileName;
        openAndDispatch(droppedPath, false);
    }
}

int MainDialog::openAndDispatch(const CString& path, bool isList) {
    if (isList) {
        std::FILE* list = openFileStream(path.c_str(), "r");
        if (!list) {
            // Nothing to verify: one row says so, and the report gets no line.
            addResult(path.c_str(), nullptr, nullptr, STATUS_UNREADABLE);
            return 0;
        }
        verifyList(list, *this, verbose != 0, binary != 0);
        std::fclose(list);
        return 0;
    }
    std::FILE* file = openFileStream(path.c_str(), "rb");
    if (!file) {
        addResult(path.c_str(), nullptr, nullptr, STATUS_FAILED);
        return 0;
    }
    Digest digest{};
    const bool good = digestStream(file, digest) == 0;
    std::fclose(file);
    if (good) {
        addResult(path.c_str(), &digest, &digest, STATUS_OK);
    } else {
        // The digest of a file read only in part is shown, but is no checksum of the file: it
        // gets no report line, so a saved report never lists a wrong digest.
        addResult(path.c_str(), nullptr, &digest, STATUS_FAILED);
    }
    return 0;
}

void MainDialog::startWith(std::vector<CString> paths, bool generate) {
    m_startFiles = std::move(paths);
    m_startGenerating = generate;
}

void MainDialog::OnStartFiles() {
    const std::vector<CString> paths = std::move(m_startFiles);
    m_startFiles.clear();
    acceptDrop(paths);
}
