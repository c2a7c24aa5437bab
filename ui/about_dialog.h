#pragma once

#include "platform/dialog.h"

/// The About box: logo, contact line, version line and OK.
class AboutDialog : public CDialog {
public:
    AboutDialog();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};
