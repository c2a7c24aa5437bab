#pragma once

#include <array>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "engine/checksum_list.h"
#include "engine/pasted_checksum.h"
#include "platform/image_list.h"
#include "platform/list_ctrl.h"
#include "ui/result_order.h"
#include "ui/result_row.h"

/// The results of the main window in their two forms: rows of the report list (name, two
/// digests, the algorithm, the status in words and as an image; newest on top unless sorted, see
/// ResultOrder) and the report text, a checksum list of the same results, oldest first, a line
/// "<expected hex> *<name>\r\n" each (see formatListLine).
class ResultReport : public ResultSink {
public:
    /// owner: the window that owns the list, the clipboard and the save dialog.
    explicit ResultReport(CWnd& owner) : m_owner(owner) {}

    /// Columns "Filename", "File Checksum", "Actual Checksum", "Algorithm" and "Status", shown
    /// name, status and algorithm first; status images from bitmap 130; the list's accessible
    /// name "Results".
    void setUpList();
    /// Adds a row at the top and, when an expected digest exists, a report line.
    void addResult(const char* name, const Digest* expected, const Digest* actual,
                   int status) override;
    /// The same for a file that could not be read; the row says why, in its status cell, its
    /// tooltip and to screen readers.
    void addUnreadResult(const char* name, const Digest* expected, int status, int error) override;
    /// Adds a row at the top that is no file's result: name, text and detail in the three
    /// columns, and a status image. It gets no report line and holds no digest.
    void addNote(const char* name, const std::string& text, const std::string& detail, int status);
    /// Deletes every row and empties the report text.
    void clearResults();

    /// The rows whose actual digest is checksum, as list indexes, top first.
    std::vector<int> rowsMatching(const PastedChecksum& checksum) const;
    /// Whether some row holds an actual digest of an algorithm checksum may be of.
    bool holdsAlgorithmOf(const PastedChecksum& checksum) const;
    /// Selects exactly rows (list indexes) and scrolls the first of them into view.
    void selectRows(const std::vector<int>& rows);

    /// A click on a column's header: sorts by it (see ResultOrder::clickColumn).
    void clickColumn(int column);
    /// Shows only the rows that are problems, or every row again.
    void setProblemsOnly(bool on);
    bool problemsOnly() const { return m_order.problemsOnly(); }
    /// Selects the next problem row below the first selected one (forward) or above it, wrapping
    /// round, and scrolls it into view. Its list index, or -1 when no row is a problem.
    int goToProblem(bool forward);
    /// The number of problem rows shown, and the place (1 for the top one) of row among them.
    int problemsShown() const;
    int problemPlace(int row) const;
    /// A drop's work has ended: rows that came meanwhile take their places in the chosen order,
    /// and the first problem, if any, is scrolled into view.
    void workEnded();
    /// The row list index row shows, or null.
    const ResultRow* rowAt(int row) const;
    /// Sizes the columns to their widest texts within the list's width (see fitColumns); called
    /// when the list's size changes, and by the report itself when a wider text comes.
    void fitColumns();
    /// Rows of "Generate Checksums" show their digest once, under "File Checksum".
    void setGenerating(bool generating) { m_generating = generating; }
    /// Copies the report text to the clipboard, byte for byte.
    void OnToClipboard();
    /// Asks for a file, suggesting a name after the report's algorithm ("SHA256SUMS"), and
    /// writes the report text to it unchanged, or, as a results table, every row with its status
    /// and reason (see resultsTable); it replaces the file safely (see replaceFileContents) and
    /// tells the user if that fails.
    void OnSaveAs();
    /// Deletes every row; the report text stays.
    void OnClearList();

    CListCtrl resultList;
    CImageList statusImages;
    CString reportText;

private:
    /// Notes the widths of row's texts; true when one is the widest of its column so far.
    bool noteWidths(const ResultRow& row);
    void forgetWidths();
    /// Keeps row and shows it on top, unless the list shows problems only and it is none.
    void addRow(ResultRow row);
    /// Puts m_rows[index] into the list at position.
    void insertListRow(int position, std::size_t index);
    /// Fills the list again in the chosen order, keeping the first selected row selected.
    void rebuild();
    void showSortIndicator();
    /// Deletes every row of the list and of what it was made from.
    void forgetRows();
    /// Every row as a results table, in the list's order.
    std::string resultsTableText() const;

    CWnd& m_owner;
    /// Every row, oldest first, also those the list does not show.
    std::vector<ResultRow> m_rows;
    /// The rows the list shows, as indexes into m_rows, top first.
    std::deque<std::size_t> m_shown;
    ResultOrder m_order;
    /// Rows came on top while the list was sorted: the order waits for workEnded.
    bool m_orderPending = false;
    bool m_generating = false;
    /// The algorithms of the report's lines, a bit per Algorithm.
    unsigned m_reportAlgorithms = 0;
    /// The width of the widest text of each column so far, which sets the width it wants, and
    /// the bytes of the longest text.
    std::array<int, COLUMN_COUNT> m_textWidth{};
    std::array<std::size_t, COLUMN_COUNT> m_longestBytes{};
    std::array<std::string, COLUMN_COUNT> m_lastMeasured;
    /// The most digits of a digest in each column so far.
    std::array<std::size_t, COLUMN_COUNT> m_longestDigest{};
};
