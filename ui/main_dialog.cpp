#include "ui/main_dialog.h"

#include <sys/stat.h>
#include <unistd.h>

#include "engine/file_digest.h"
#include "engine/path_split.h"
#include "layout/layout_pane.h"
#include "platform/backend.h"
#include "platform/data_exchange.h"
#include "os/file_stream.h"
#include "platform/gdi.h"
#include "platform/menu.h"
#include "platform/resources.h"
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
ON_COMMAND(START_FILES_COMMAND_ID, OnStartFiles)
END_MESSAGE_MAP()

MainDialog::MainDialog(CWnd* parent)
    : LayoutDialog(IDD_DIGESTOR_DIALOG, parent, nullptr, true), verbose(0), binary(1),
      report(*this), strip(*this), work(*this, strip, IDC_STOP) {
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
    strip.setUp();
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
    }
}

void MainDialog::OnSysCommand(UINT id, LPARAM lParam) {
    if ((id & 0xFFF0) == SC_CLOSE && work.running()) {
        work.requestStop();
        m_closeAfterWork = true;
        return;
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
    switch (status) {
    case STATUS_OK:
        ++tally.ok;
        break;
    case STATUS_FAILED:
        ++tally.failed;
        break;
    default:
        ++tally.unreadable;
        break;
    }
    work.fileDone();
}

void MainDialog::clearResults() {
    report.clearResults();
    // The strip speaks of the rows on show: those of the list verified last.
    tally = DropTally{true};
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
    UpdateData(TRUE);
    tally = DropTally{checkMode == 0};
    work.begin(tally.checking);
    if (!tally.checking) {
        // Hashing: the files' sizes tell how far the work is and how long it has to go.
        std::uint64_t bytes = 0;
        for (const CString& path : paths) {
            struct stat info;
            if (::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
                bytes += std::uint64_t(info.st_size);
            }
        }
        tally.total = int(paths.size());
        work.expectBytes(tally.total, bytes);
    }
    if (!tally.checking) {
        generateSideBySide(paths);
    }
    for (std::size_t i = 0; tally.checking && i < paths.size(); ++i) {
        // Nothing after a stop is opened.
        if (!work.advance(0)) {
            tally.stopped = true;
            break;
        }
        droppedPath = paths[i];
        processDroppedPath();
        if (tally.stopped) {
            break;
        }
    }
    work.end();
    strip.showOutcome(outcomeText(tally));
    if (m_closeAfterWork) {
        m_closeAfterWork = false;
        SendMessage(WM_SYSCOMMAND, SC_CLOSE);
    }
}

void MainDialog::generateSideBySide(const std::vector<CString>& paths) {
    // The mode cannot change during the work (the buttons take no input then), so reading it
    // once for the drop is reading it for every path.
    if (digestFiles(paths, *this, &work) == DIGEST_STOPPED) {
        tally.stopped = true;
    }
}

void MainDialog::fileDigested(std::size_t /*index*/, const std::string& path,
                              const FileDigest& result) {
    // The folder becomes the current one and the row carries the bare name, as for one path.
    droppedPath = path;
    std::string folder;
    std::string fileName;
    splitDroppedPath(droppedPath, folder, fileName);
    [[maybe_unused]] const int changed = ::chdir(folder.c_str());
    droppedPath = fileName;
    addDigestRow(fileName.c_str(), result);
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
        // The entries are counted first, so that the strip can tell how far through the list the
        // work is; text streams cannot seek, so the list is opened again to verify it.
        int entries = -1;
        if (std::FILE* counted = openFileStream(path.c_str(), "r")) {
            entries = countListEntries(counted, &work);
            std::fclose(counted);
            if (entries < 0) {
                tally.stopped = true;
                return 0;
            }
        }
        std::FILE* list = openFileStream(path.c_str(), "r");
        if (!list) {
            // Nothing to verify: one row says so, and the report gets no line.
            addResult(path.c_str(), nullptr, nullptr, STATUS_UNREADABLE);
            return 0;
        }
        tally.total = entries;
        work.expectEntries(entries);
        if (verifyList(list, *this, verbose != 0, binary != 0, &work) == VERIFY_STOPPED) {
            tally.stopped = true;
        }
        std::fclose(list);
        return 0;
    }
    FileDigest result;
    std::int64_t size = -1;
    if (std::FILE* file = openFileStream(path.c_str(), "rb", &size)) {
        work.beginFile(path.c_str(), size);
        const int read = digestStream(file, result.digest, &work);
        std::fclose(file);
        if (read == DIGEST_STOPPED) {
            // The file in progress gets no row and no report line.
            tally.stopped = true;
            return 0;
        }
        result.opened = true;
        result.readError = read != 0;
    }
    addDigestRow(path.c_str(), result);
    return 0;
}

void MainDialog::addDigestRow(const char* name, const FileDigest& result) {
    if (!result.opened) {
        addResult(name, nullptr, nullptr, STATUS_FAILED);
    } else if (result.readError) {
        // The digest of a file read only in part is shown, but is no checksum of the file: it
        // gets no report line, so a saved report never lists a wrong digest.
        addResult(name, nullptr, &result.digest, STATUS_FAILED);
    } else {
        addResult(name, &result.digest, &result.digest, STATUS_OK);
    }
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
