#include "app/checksum_app.h"

#include "ui/main_dialog.h"

BEGIN_MESSAGE_MAP(ChecksumApp, CWinApp)
ON_COMMAND(ID_HELP, OnHelp)
END_MESSAGE_MAP()

ChecksumApp::ChecksumApp() : CWinApp(nullptr) {}

ChecksumApp::~ChecksumApp() = default;

BOOL ChecksumApp::InitInstance() {
    // Dialogs are drawn three-dimensionally and drops need no set-up on this platform, so the
    // 3D-controls and OLE initialisation steps have nothing to do.
    {
        MainDialog dialog(nullptr);
        dialog.startWith(std::move(m_startFiles), m_startGenerating, m_startAlgorithm);
        m_startFiles.clear();
        m_pMainWnd = &dialog;
        dialog.DoModal();
        m_pMainWnd = nullptr;
    }
    return FALSE;
}

void ChecksumApp::startWith(std::vector<CString> files, bool generate,
                            std::optional<Algorithm> algorithm) {
    m_startFiles = std::move(files);
    m_startGenerating = generate;
    m_startAlgorithm = algorithm;
}
