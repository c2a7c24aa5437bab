#include "ui/result_report.h"

#include <cstring>

#include "engine/file_digest.h"
#include "engine/list_line.h"
#include "os/file_replace.h"
#include "platform/clipboard.h"
#include "platform/file_dialog.h"
#include "res/resource.h"

void ResultReport::setUpList() {
    resultList.SetAccessibleName("Results");
    resultList.InsertColumn(0, "Filename", LVCFMT_LEFT, 200);
    resultList.InsertColumn(1, "File Checksum", LVCFMT_LEFT, 225);
    resultList.InsertColumn(2, "Actual Checksum", LVCFMT_LEFT, 225);
    // Without the bitmap the rows simply show no images.
    statusImages.Create(IDB_STATUS_IMAGES, 16, 4, RGB(255, 0, 255));
    resultList.SetImageList(&statusImages, LVSIL_SMALL);
}

void ResultReport::addResult(const char* name, const Digest* expected, const Digest* actual,
                             int status) {
    const std::string expectedHex = expected ? toHex(*expected) : std::string();
    // A result without an expected digest has no line: the report stays a valid checksum list.
    if (expected) {
        reportText += formatListLine(*expected, name);
        reportText += "\r\n";
    }
    const int row = resultList.InsertItem(0, name, status);
    if (row < 0) {
        return;
    }
    resultList.SetItemText(row, 1, expectedHex.c_str());
    resultList.SetItemText(row, 2, actual ? toHex(*actual).c_str() : "");
}

void ResultReport::clearResults() {
    resultList.DeleteAllItems();
    reportText.clear();
}

void ResultReport::OnToClipboard() {
    // A clipboard that cannot be opened keeps what it held; nothing more to do then.
    SetClipboardText(m_owner.m_hWnd, reportText);
}

void ResultReport::OnSaveAs() {
    CFileDialog dialog(FALSE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, nullptr);
    if (dialog.DoModal() != IDOK) {
        return;
    }
    const CString path = dialog.GetPathName();
    const int error = replaceFileContents(path.c_str(), reportText);
    if (error != 0) {
        const CString message =
            "The report could not be saved to \"" + path + "\":\n" + std::strerror(error) + ".";
        m_owner.MessageBox(message.c_str(), "Save As", MB_OK | MB_ICONERROR);
    }
}

void ResultReport::OnClearList() {
    resultList.DeleteAllItems();
}
