#pragma once

#include "platform/wnd.h"

/// The direction and the dialog of one data exchange.
class CDataExchange {
public:
    CDataExchange(CWnd* dialog, BOOL saveAndValidate)
        : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}

    CWnd* m_pDlgWnd;
    BOOL m_bSaveAndValidate; ///< TRUE: controls to members; FALSE: members to controls
};

/// Binds the dialog's control id to control (once; later exchanges change nothing).
void DDX_Control(CDataExchange* pDX, int id, CWnd& control);
/// Exchanges the radio group starting at control id (up to the next control that starts a group;
/// only radio buttons count) with value: the index of the checked button, -1 when none is.
void DDX_Radio(CDataExchange* pDX, int id, int& value);
