#pragma once

#include <optional>
#include <string>
#include <vector>

#include "engine/checksum_list.h"
#include "engine/pasted_checksum.h"
#include "platform/image_list.h"
#include "platform/list_ctrl.h"

/// The results of the main window in their two forms: rows of the report list (name, two
/// digests, a status image; newest on top) and the report text, a checksum list of the same
/// results, oldest first, a line "<expected hex> *<name>\r\n" each (see formatListLine).
class ResultReport : public ResultSink {
public:
    /// owner: the window that owns the list, the clipboard and the save dialog.
    explicit ResultReport(CWnd& owner) : m_owner(owner) {}

    /// Columns "Filename", "File Checksum", "Actual Checksum"; status images from bitmap 130; the
    /// list's accessible name "Results".
    void setUpList();
    /// Adds a row at the top and, when an expected digest exists, a report line.
    void addResult(const char* name, const Digest* expected, const Digest* actual,
                   int status) override;
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

    /// Copies the report text to the clipboard, byte for byte.
    void OnToClipboard();
    /// Asks for a file and writes the report text to it unchanged, replacing it safely (see
    /// replaceFileContents); tells the user if that fails.
    void OnSaveAs();
    /// Deletes every row; the report text stays.
    void OnClearList();

    CListCtrl resultList;
    CImageList statusImages;
    CString reportText;

private:
    /// Widens the digest columns to fit a digest of digits hex digits.
    void fitDigestColumns(std::size_t digits);
    std::optional<Digest> actualOfRow(int row) const;

    CWnd& m_owner;
    /// Each row's actual digest, oldest row first (the list shows the newest on top).
    std::vector<std::optional<Digest>> m_actual;
    std::size_t m_fittedDigits = 0;
};
