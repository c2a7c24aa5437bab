#pragma once

#include "platform/wnd.h"

/// A drop-down list (CBS_DROPDOWNLIST): entries in the order added, at most one selected. When
/// the user picks an entry the parent gets WM_COMMAND with CBN_SELCHANGE and the control's ID
/// (ON_CBN_SELCHANGE); a selection made from code tells nobody.
class CComboBox : public CWnd {
public:
    /// Appends an entry; returns its index, or CB_ERR.
    int AddString(const char* text);
    int GetCount() const;
    /// The selected entry's index, or CB_ERR when none is.
    int GetCurSel() const;
    /// Selects entry index; CB_ERR (nothing selected) for an index out of range, -1 included.
    int SetCurSel(int index);
    /// Removes every entry.
    void ResetContent();
};
