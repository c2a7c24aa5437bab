#include "platform/file_dialog.h"

#include "platform/backend.h"
#include "platform/win_app.h"

CFileDialog::CFileDialog(BOOL openFileDialog, const char*, const char* fileName, DWORD flags,
                         const char*, CWnd* parent)
    : m_open(openFileDialog), m_flags(flags), m_parent(parent), m_path(fileName ? fileName : "") {}

int CFileDialog::DoModal() {
    if (m_open) {
        return IDCANCEL; // only the save form exists here
    }
    CWnd* owner = m_parent;
    if (!owner) {
        CWinApp* app = AfxGetApp();
        owner = app ? app->m_pMainWnd : nullptr;
    }
    // Qt's dialog and the headless one have no read-only box, so OFN_HIDEREADONLY needs nothing.
    const OverwritePrompt prompt =
        (m_flags & OFN_OVERWRITEPROMPT) != 0 ? OverwritePrompt::Ask : OverwritePrompt::DontAsk;
    std::string path;
    if (!backend().services().saveFileDialog(owner ? owner->m_hWnd : nullptr, prompt, path)) {
        return IDCANCEL;
    }
    m_path = path;
    return IDOK;
}
