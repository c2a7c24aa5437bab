#pragma once

#include <memory>

#include "platform/cmd_target.h"
#include "platform/profile_store.h"
#include "platform/win_types.h"

class CWnd;

/// The application object. Exactly one exists; the framework entry runs its InitInstance.
class CWinApp : public CCmdTarget {
public:
    /// With a null name, the names derive from the executable's file name.
    explicit CWinApp(const char* appName = nullptr);
    ~CWinApp() override;

    virtual BOOL InitInstance();
    virtual int ExitInstance();

    BOOL WriteProfileInt(const char* section, const char* entry, int value);
    int GetProfileInt(const char* section, const char* entry, int fallback);

    /// Sets the application and profile names from the executable's path (argv[0]).
    void setNamesFromExecutable(const char* executablePath);

    CWnd* m_pMainWnd = nullptr;
    CString m_appName;     ///< the executable's file name without folder and extension
    CString m_profileName; ///< full path of the private profile file

protected:
    void OnHelp();

    static const AFX_MSGMAP* GetThisMessageMap();
    const AFX_MSGMAP* GetMessageMap() const override;
};

/// The one application object, or null before it is constructed.
CWinApp* AfxGetApp();

/// The framework's entry: derives the names, runs InitInstance and, when it returns FALSE,
/// ExitInstance. Returns the process's exit status.
int AfxWinMain(int argc, char* argv[]);
