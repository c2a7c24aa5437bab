#pragma once

#include "engine/checksum_list.h"
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
    /// Deletes every row and empties the report text.
    void clearResults();

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
    CWnd& m_owner;
};
