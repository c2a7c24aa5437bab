#pragma once

#include <optional>
#include <vector>

#include "engine/digest.h"
#include "platform/win_app.h"

/// The application: runs the main window modally and ends when it closes.
class ChecksumApp : public CWinApp {
public:
    ChecksumApp();
    ~ChecksumApp() override;

    /// Runs the main window; returns FALSE so that no message loop of the framework's own follows.
    BOOL InitInstance() override;

    /// What the command line asks of the main window: files to take as one drop once it shows,
    /// checked as lists or, with generate, hashed in "Generate Checksums" mode; and the
    /// algorithm of new checksums, when one is named.
    void startWith(std::vector<CString> files, bool generate,
                   std::optional<Algorithm> algorithm = std::nullopt);

protected:
    DECLARE_MESSAGE_MAP()

private:
    std::vector<CString> m_startFiles;
    bool m_startGenerating = false;
    std::optional<Algorithm> m_startAlgorithm;
};
