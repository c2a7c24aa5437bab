#pragma once

#include <vector>

#include "platform/desktop_services.h"
#include "platform/wnd.h"

/// The common file dialog, in its save form (a file to write, of one of the kinds the filter
/// offers) and its open form (several files and folders at once).
class CFileDialog {
public:
    /// fileName: the name the save form suggests. filter: the kinds of file it offers, as
    /// "title|patterns|title|patterns||", patterns separated by ';' ("MD5 checksum list
    /// (*.md5;MD5SUMS)|*.md5;MD5SUMS|All Files (*)|*||").
    CFileDialog(BOOL openFileDialog, const char* defaultExt = nullptr,
                const char* fileName = nullptr,
                DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, const char* filter = nullptr,
                CWnd* parent = nullptr);

    /// IDOK when the user chose, IDCANCEL otherwise. With no parent, the application's main
    /// window owns the dialog.
    int DoModal();
    /// The file chosen; in the open form, the first of them.
    CString GetPathName() const { return m_paths.empty() ? CString() : m_paths.front(); }
    /// Every file and folder chosen in the open form, in the order given.
    const std::vector<CString>& GetPathNames() const { return m_paths; }
    /// The kind of file chosen in the save form, as an index into the filter's kinds.
    int GetFilterIndex() const { return m_choices.chosenType; }

private:
    BOOL m_open;
    DWORD m_flags;
    CWnd* m_parent;
    SaveChoices m_choices;
    std::vector<CString> m_paths;
};
