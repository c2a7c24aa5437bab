#pragma once

#include "platform/win_app.h"

/// The application: runs the main window modally and ends when it closes.
class ChecksumApp : public CWinApp {
public:
    ChecksumApp();
    ~ChecksumApp() override;

    /// Runs the main window; returns FALSE so that no message loop of the framework's own follows.
    BOOL InitInstance() override;

protected:
    DECLARE_MESSAGE_MAP()
};
