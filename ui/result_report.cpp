#include "ui/result_report.h"

#include <algorithm>
#include <cstring>

#include "engine/file_digest.h"
#include "engine/list_line.h"
#include "os/file_replace.h"
#include "platform/clipboard.h"
#include "platform/file_dialog.h"
#include "res/resource.h"

namespace {

// The width of the digest columns for an MD5 digest's 32 digits; longer digests widen them in
// proportion, so that a SHA-512 digest shows whole.
constexpr int MD5_COLUMN_WIDTH = 225;
constexpr std::size_t MD5_DIGITS = 32;

} // namespace

void ResultReport::setUpList() {
    resultList.SetAccessibleName("Results");
    resultList.InsertColumn(0, "Filename", LVCFMT_LEFT, 200);
    resultList.InsertColumn(1, "File Checksum", LVCFMT_LEFT, MD5_COLUMN_WIDTH);
    resultList.InsertColumn(2, "Actual Checksum", LVCFMT_LEFT, MD5_COLUMN_WIDTH);
    m_fittedDigits = MD5_DIGITS;
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
    const std::string actualHex = actual ? toHex(*actual) : std::string();
    fitDigestColumns(std::max(expectedHex.size(), actualHex.size()));
    resultList.SetItemText(row, 1, expectedHex.c_str());
    resultList.SetItemText(row, 2, actualHex.c_str());
    m_actual.push_back(actual ? std::optional<Digest>(*actual) : std::nullopt);
}

void ResultReport::fitDigestColumns(std::size_t digits) {
    if (digits <= m_fittedDigits) {
        return;
    }
    m_fittedDigits = digits;
    const int width = static_cast<int>(MD5_COLUMN_WIDTH * digits / MD5_DIGITS);
    resultList.SetColumnWidth(1, width);
    resultList.SetColumnWidth(2, width);
}

void ResultReport::addNote(const char* name, const std::string& text, const std::string& detail,
                           int status) {
    const int row = resultList.InsertItem(0, name, status);
    if (row < 0) {
        return;
    }
    resultList.SetItemText(row, 1, text.c_str());
    resultList.SetItemText(row, 2, detail.c_str());
    m_actual.push_back(std::nullopt);
}

std::optional<Digest> ResultReport::actualOfRow(int row) const {
    const int count = static_cast<int>(m_actual.size());
    return row >= 0 && row < count ? m_actual[static_cast<std::size_t>(count - 1 - row)]
                                   : std::nullopt;
}

std::vector<int> ResultReport::rowsMatching(const PastedChecksum& checksum) const {
    std::vector<int> rows;
    for (int row = 0; row < static_cast<int>(m_actual.size()); ++row) {
        const std::optional<Digest> actual = actualOfRow(row);
        if (actual && checksum.matches(*actual)) {
            rows.push_back(row);
        }
    }
    return rows;
}

bool ResultReport::holdsAlgorithmOf(const PastedChecksum& checksum) const {
    for (const std::optional<Digest>& actual : m_actual) {
        if (actual && checksum.mayBe(actual->algorithm)) {
            return true;
        }
    }
    return false;
}

void ResultReport::selectRows(const std::vector<int>& rows) {
    resultList.SetItemState(-1, 0, LVIS_SELECTED);
    for (int row : rows) {
        resultList.SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
    }
    if (!rows.empty()) {
        resultList.EnsureVisible(rows.front(), FALSE);
    }
}

void ResultReport::clearResults() {
    resultList.DeleteAllItems();
    m_actual.clear();
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
    m_actual.clear();
}
