#pragma once

#include "platform/wnd.h"

/// The common file dialog; only its save form is used.
class CFileDialog {
public:
    CFileDialog(BOOL openFileDialog, const char* defaultExt = nullptr,
                const char* fileName = nullptr,
                DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, const char* filter = nullptr,
                CWnd* parent = nullptr);

    /// IDOK when the user chose a file, IDCANCEL otherwise. With no parent, the application's
    /// main window owns the dialog.
    int DoModal();
    CString GetPathName() const { return m_path; }

private:
    BOOL m_open;
    DWORD m_flags;
    CWnd* m_parent;
    CString m_path;
};
