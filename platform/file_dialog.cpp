#include "platform/file_dialog.h"

#include "platform/backend.h"
#include "platform/win_app.h"

namespace {

// The kinds of file of a filter "title|patterns|...||".
std::vector<FileType> typesOf(const char* filter) {
    std::vector<std::string> parts;
    std::string part;
    for (const char* c = filter; c != nullptr && *c != '\0'; ++c) {
        if (*c == '|') {
            parts.push_back(part);
            part.clear();
        } else {
            part += *c;
        }
    }
    std::vector<FileType> types;
    for (std::size_t i = 0; i + 1 < parts.size() && !parts[i].empty(); i += 2) {
        FileType type{parts[i], {}};
        std::string pattern;
        for (char c : parts[i + 1] + ';') {
            if (c == ';') {
                if (!pattern.empty()) {
                    type.patterns.push_back(pattern);
                }
                pattern.clear();
            } else {
                pattern += c;
            }
        }
        types.push_back(std::move(type));
    }
    return types;
}

} // namespace

CFileDialog::CFileDialog(BOOL openFileDialog, const char*, const char* fileName, DWORD flags,
                         const char* filter, CWnd* parent)
    : m_open(openFileDialog), m_flags(flags),
      m_parent(parent), m_choices{fileName ? fileName : "", typesOf(filter), 0} {}

int CFileDialog::DoModal() {
    CWnd* owner = m_parent;
    if (!owner) {
        CWinApp* app = AfxGetApp();
        owner = app ? app->m_pMainWnd : nullptr;
    }
    const HWND ownerWnd = owner ? owner->m_hWnd : nullptr;
    m_paths.clear();
    if (m_open) {
        std::vector<std::string> paths;
        if (!backend().services().openFilesDialog(ownerWnd, paths) || paths.empty()) {
            return IDCANCEL;
        }
        m_paths.assign(paths.begin(), paths.end());
        return IDOK;
    }
    // Qt's dialog and the headless one have no read-only box, so OFN_HIDEREADONLY needs nothing.
    const OverwritePrompt prompt =
        (m_flags & OFN_OVERWRITEPROMPT) != 0 ? OverwritePrompt::Ask : OverwritePrompt::DontAsk;
    std::string path;
    if (!backend().services().saveFileDialog(ownerWnd, prompt, m_choices, path)) {
        return IDCANCEL;
    }
    m_paths.push_back(path);
    return IDOK;
}
