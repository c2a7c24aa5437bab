#include "ui/result_report.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "engine/file_digest.h"
#include "engine/list_line.h"
#include "os/file_replace.h"
#include "platform/clipboard.h"
#include "platform/file_dialog.h"
#include "res/resource.h"
#include "ui/column_fit.h"
#include "ui/save_formats.h"

namespace {

// The widths the columns start with, before any row sets them: an MD5 digest whole.
constexpr int MD5_COLUMN_WIDTH = 225;
constexpr int ALGORITHM_WIDTH = 75;
constexpr int STATUS_WIDTH = 130;
// The status image and its gap, before a row's name.
constexpr int IMAGE_WIDTH = 20;
constexpr const char* const HEADINGS[COLUMN_COUNT] = {"Filename", "File Checksum",
                                                      "Actual Checksum", "Algorithm", "Status"};

} // namespace

void ResultReport::setUpList() {
    resultList.SetAccessibleName("Results");
    resultList.InsertColumn(COLUMN_NAME, HEADINGS[COLUMN_NAME], LVCFMT_LEFT, 200);
    resultList.InsertColumn(COLUMN_EXPECTED, HEADINGS[COLUMN_EXPECTED], LVCFMT_LEFT,
                            MD5_COLUMN_WIDTH);
    resultList.InsertColumn(COLUMN_ACTUAL, HEADINGS[COLUMN_ACTUAL], LVCFMT_LEFT, MD5_COLUMN_WIDTH);
    resultList.InsertColumn(COLUMN_ALGORITHM, HEADINGS[COLUMN_ALGORITHM], LVCFMT_LEFT,
                            ALGORITHM_WIDTH);
    resultList.InsertColumn(COLUMN_STATUS, HEADINGS[COLUMN_STATUS], LVCFMT_LEFT, STATUS_WIDTH);
    // The verdict next to the name, where the eye starts; the digests, the widest, last.
    const int order[] = {COLUMN_NAME, COLUMN_STATUS, COLUMN_ALGORITHM, COLUMN_EXPECTED,
                         COLUMN_ACTUAL};
    resultList.SetColumnOrderArray(COLUMN_COUNT, order);
    // Without the bitmap the rows simply show no images.
    statusImages.Create(IDB_STATUS_IMAGES, 16, 4, RGB(255, 0, 255));
    resultList.SetImageList(&statusImages, LVSIL_SMALL);
}

void ResultReport::addResult(const char* name, const Digest* expected, const Digest* actual,
                             int status) {
    // A result without an expected digest has no line: the report stays a valid checksum list.
    if (expected) {
        reportText += formatListLine(*expected, name);
        reportText += "\r\n";
        m_reportAlgorithms |= 1u << static_cast<int>(expected->algorithm);
    }
    ResultRow row;
    row.name = name;
    row.expected = expected ? toHex(*expected) : std::string();
    // A new checksum has nothing to be compared with: its digest shows once.
    const bool generated =
        m_generating && expected != nullptr && actual != nullptr && *expected == *actual;
    row.actual = actual && !generated ? toHex(*actual) : std::string();
    const Digest* either = expected ? expected : actual;
    if (either != nullptr) {
        row.algorithm = algorithmTitle(either->algorithm);
        if (either->algorithm == Algorithm::Blake2b512 &&
            either->length != digestLength(Algorithm::Blake2b512)) {
            row.algorithm = algorithmTag(either->algorithm, either->length);
        }
    }
    row.status = status;
    if (actual) {
        row.actualDigest = *actual;
    }
    addRow(std::move(row));
}

void ResultReport::addUnreadResult(const char* name, const Digest* expected, int status,
                                   int error) {
    addResult(name, expected, nullptr, status);
    // The row just kept is the newest; it is on top unless the filter passed it over.
    ResultRow& row = m_rows.back();
    row.error = error;
    if (!m_shown.empty() && m_shown.front() == m_rows.size() - 1) {
        if (noteWidths(row)) {
            fitColumns();
        }
        resultList.SetItemText(0, COLUMN_STATUS, statusCell(row).c_str());
        resultList.SetItemDescription(0, reasonText(error).c_str());
    }
}

bool ResultReport::noteWidths(const ResultRow& row) {
    const std::string status = statusCell(row);
    const std::string* const texts[COLUMN_COUNT] = {&row.name, &row.expected, &row.actual,
                                                    &row.algorithm, &status};
    bool wider = false;
    for (int column = 0; column < COLUMN_COUNT; ++column) {
        // Rows must cost little to add, so few texts are measured: a digest never (its column
        // holds any digest of its length, see fitColumns), a text the same as the one measured
        // last in its column never, and a text far shorter in bytes than the longest never.
        const bool digest = !row.note && (column == COLUMN_EXPECTED || column == COLUMN_ACTUAL);
        const std::string& text = *texts[column];
        const std::size_t size = text.size();
        if (digest || size == 0 || text == m_lastMeasured[column] ||
            size * 3 / 2 + 1 < m_longestBytes[column]) {
            continue;
        }
        m_longestBytes[column] = std::max(m_longestBytes[column], size);
        m_lastMeasured[column] = text;
        const int width = resultList.GetStringWidth(text.c_str());
        if (width > m_textWidth[column]) {
            m_textWidth[column] = width;
            wider = true;
        }
    }
    // A note's words in the digest columns are no digest.
    for (int column : {COLUMN_EXPECTED, COLUMN_ACTUAL}) {
        const std::size_t digits = row.note ? 0 : texts[column]->size();
        if (digits > m_longestDigest[column]) {
            m_longestDigest[column] = digits;
            wider = true;
        }
    }
    return wider;
}

void ResultReport::forgetWidths() {
    m_textWidth = {};
    m_longestBytes = {};
    m_lastMeasured = {};
    m_longestDigest = {};
}

void ResultReport::fitColumns() {
    const int space = resultList.GetColumnSpace();
    if (space <= 0) {
        return;
    }
    ColumnWidths wanted{};
    for (int column = 0; column < COLUMN_COUNT; ++column) {
        wanted[column] = std::max(resultList.GetStringWidth(HEADINGS[column]), m_textWidth[column]);
    }
    wanted[COLUMN_NAME] += IMAGE_WIDTH;
    // A digest column needs its longest digest whole; digits differ in width in most fonts, so
    // any digest of that length. A note's words beyond it may be elided.
    ColumnWidths needed = wanted;
    for (int column : {COLUMN_EXPECTED, COLUMN_ACTUAL}) {
        needed[column] = resultList.GetStringWidth(HEADINGS[column]);
        for (char digit : std::string_view("0123456789abcdef")) {
            const std::string digest(m_longestDigest[column], digit);
            needed[column] = std::max(needed[column], resultList.GetStringWidth(digest.c_str()));
        }
        wanted[column] = std::max(wanted[column], needed[column]);
    }
    const ColumnWidths widths = ::fitColumns(wanted, needed, space);
    for (int column = 0; column < COLUMN_COUNT; ++column) {
        resultList.SetColumnWidth(column, widths[column]);
    }
}

void ResultReport::addNote(const char* name, const std::string& text, const std::string& detail,
                           int status) {
    ResultRow row;
    row.name = name;
    row.expected = text;
    row.actual = detail;
    row.status = status;
    row.note = true;
    addRow(std::move(row));
}

void ResultReport::addRow(ResultRow row) {
    row.arrival = m_rows.size();
    m_rows.push_back(std::move(row));
    if (!m_order.shows(m_rows.back())) {
        return;
    }
    if (noteWidths(m_rows.back())) {
        fitColumns();
    }
    // Rows come on top as they are made, so that long work shows its progress where the eye
    // is; a sorted list takes its order again when the work ends.
    m_orderPending = m_orderPending || m_order.sorted();
    m_shown.push_front(m_rows.size() - 1);
    insertListRow(0, m_rows.size() - 1);
}

void ResultReport::insertListRow(int position, std::size_t index) {
    const ResultRow& row = m_rows[index];
    const int item = resultList.InsertItem(position, row.name.c_str(), row.status);
    if (item < 0) {
        return;
    }
    resultList.SetItemText(item, COLUMN_EXPECTED, row.expected.c_str());
    resultList.SetItemText(item, COLUMN_ACTUAL, row.actual.c_str());
    resultList.SetItemText(item, COLUMN_ALGORITHM, row.algorithm.c_str());
    resultList.SetItemText(item, COLUMN_STATUS, statusCell(row).c_str());
    if (row.error != 0) {
        resultList.SetItemDescription(item, reasonText(row.error).c_str());
    }
}

const ResultRow* ResultReport::rowAt(int row) const {
    return row >= 0 && row < static_cast<int>(m_shown.size())
               ? &m_rows[m_shown[static_cast<std::size_t>(row)]]
               : nullptr;
}

std::vector<int> ResultReport::rowsMatching(const PastedChecksum& checksum) const {
    std::vector<int> rows;
    for (int row = 0; row < static_cast<int>(m_shown.size()); ++row) {
        const std::optional<Digest>& actual = rowAt(row)->actualDigest;
        if (actual && checksum.matches(*actual)) {
            rows.push_back(row);
        }
    }
    return rows;
}

bool ResultReport::holdsAlgorithmOf(const PastedChecksum& checksum) const {
    for (const ResultRow& row : m_rows) {
        if (row.actualDigest && checksum.mayBe(row.actualDigest->algorithm)) {
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

void ResultReport::clickColumn(int column) {
    if (column < 0 || column >= COLUMN_COUNT) {
        return;
    }
    m_order.clickColumn(column);
    showSortIndicator();
    rebuild();
}

void ResultReport::setProblemsOnly(bool on) {
    if (on != m_order.problemsOnly()) {
        m_order.setProblemsOnly(on);
        rebuild();
    }
}

void ResultReport::showSortIndicator() {
    resultList.SetSortIndicator(m_order.column(), m_order.direction());
}

void ResultReport::rebuild() {
    // The selected row, as an index into m_rows; past the end when none is.
    const int selected = resultList.GetFirstSelectedItem();
    const std::size_t keep = selected >= 0 && selected < static_cast<int>(m_shown.size())
                                 ? m_shown[static_cast<std::size_t>(selected)]
                                 : m_rows.size();
    const std::vector<std::size_t> shown = m_order.arrange(m_rows);
    resultList.DeleteAllItems();
    m_shown.assign(shown.begin(), shown.end());
    forgetWidths();
    for (std::size_t index : shown) {
        noteWidths(m_rows[index]);
    }
    // From the bottom up, each on top: the cheapest insertion a list view has.
    for (std::size_t i = shown.size(); i-- > 0;) {
        insertListRow(0, shown[i]);
    }
    fitColumns(); // once the rows are in: they may need a vertical scroll bar
    m_orderPending = false;
    if (keep < m_rows.size()) {
        const auto found = std::find(m_shown.begin(), m_shown.end(), keep);
        if (found != m_shown.end()) {
            const int row = static_cast<int>(found - m_shown.begin());
            resultList.SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
            resultList.EnsureVisible(row, FALSE);
        }
    }
}

int ResultReport::goToProblem(bool forward) {
    const int count = static_cast<int>(m_shown.size());
    const int from = resultList.GetFirstSelectedItem();
    for (int step = 1; step <= count; ++step) {
        // From the selected row on, wrapping round; with none selected, from the top or bottom.
        const int start = from >= 0 ? from : (forward ? -1 : count);
        const int row = ((start + (forward ? step : -step)) % count + count) % count;
        if (isProblem(rowAt(row)->status)) {
            selectRows({row});
            return row;
        }
    }
    return -1;
}

int ResultReport::problemsShown() const {
    int problems = 0;
    for (std::size_t index : m_shown) {
        problems += isProblem(m_rows[index].status) ? 1 : 0;
    }
    return problems;
}

int ResultReport::problemPlace(int row) const {
    int place = 0;
    for (int i = 0; i <= row && i < static_cast<int>(m_shown.size()); ++i) {
        place += isProblem(rowAt(i)->status) ? 1 : 0;
    }
    return place;
}

void ResultReport::workEnded() {
    if (m_orderPending) {
        rebuild();
    } else {
        // The rows may have come to need a vertical scroll bar, which narrows the list.
        fitColumns();
    }
    for (int row = 0; row < static_cast<int>(m_shown.size()); ++row) {
        if (isProblem(rowAt(row)->status)) {
            resultList.EnsureVisible(row, FALSE);
            return;
        }
    }
}

void ResultReport::forgetRows() {
    resultList.DeleteAllItems();
    m_rows.clear();
    m_shown.clear();
    m_orderPending = false;
    forgetWidths();
}

void ResultReport::clearResults() {
    forgetRows();
    reportText.clear();
    m_reportAlgorithms = 0;
}

void ResultReport::OnToClipboard() {
    // A clipboard that cannot be opened keeps what it held; nothing more to do then.
    SetClipboardText(m_owner.m_hWnd, reportText);
}

void ResultReport::OnSaveAs() {
    // "MD5 checksum list (*.md5;MD5SUMS)|*.md5;MD5SUMS|...||", as the dialog takes its kinds.
    std::string filter;
    for (const FileType& type : saveFileTypes(m_reportAlgorithms)) {
        std::string patterns;
        for (const std::string& pattern : type.patterns) {
            patterns += (patterns.empty() ? "" : ";") + pattern;
        }
        filter += type.title + " (" + patterns + ")|" + patterns + "|";
    }
    filter += "|";
    const std::string name = checksumListName(m_reportAlgorithms);
    CFileDialog dialog(FALSE, nullptr, name.c_str(), OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                       filter.c_str());
    if (dialog.DoModal() != IDOK) {
        return;
    }
    const CString path = dialog.GetPathName();
    const bool table = saveFormatOf(dialog.GetFilterIndex(), path) == SaveFormat::ResultsTable;
    const int error = replaceFileContents(path.c_str(), table ? resultsTableText() : reportText);
    if (error != 0) {
        const CString message =
            "The report could not be saved to \"" + path + "\":\n" + std::strerror(error) + ".";
        m_owner.MessageBox(message.c_str(), "Save As", MB_OK | MB_ICONERROR);
    }
}

std::string ResultReport::resultsTableText() const {
    // Every row, the hidden ones too, in the order the list shows them.
    ResultOrder everyRow = m_order;
    everyRow.setProblemsOnly(false);
    std::vector<const ResultRow*> rows;
    for (std::size_t index : everyRow.arrange(m_rows)) {
        rows.push_back(&m_rows[index]);
    }
    return resultsTable(rows);
}

void ResultReport::OnClearList() {
    forgetRows();
}
