#pragma once

#include "platform/wnd.h"

/// A dialog built from a numbered template and run modally.
class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);

    /// Creates the window, runs OnInitDialog, centres it (unless initialisation moved it),
    /// shows it and runs the modal loop; the window is destroyed when this returns the ID
    /// that ended the run. -1 when the window could not be created.
    virtual int DoModal();
    /// Runs once, when the window and its controls exist, before the window is shown.
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    void EndDialog(int result);

    UINT templateId() const { return m_templateId; }

protected:
    UINT m_templateId;
    CWnd* m_pParentWnd;

private:
    bool m_ended = false;
    int m_result = -1;

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    const AFX_MSGMAP* GetMessageMap() const override;
};
