#include "platform/win_app.h"

#include <cstring>

namespace {
CWinApp* theApp = nullptr;
}

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
ON_COMMAND(ID_HELP, OnHelp)
END_MESSAGE_MAP()

CWinApp::CWinApp(const char* appName) {
    if (appName) {
        m_appName = appName;
    }
    theApp = this;
}

CWinApp::~CWinApp() {
    if (theApp == this) {
        theApp = nullptr;
    }
}

BOOL CWinApp::InitInstance() {
    return TRUE;
}

int CWinApp::ExitInstance() {
    return 0;
}

void CWinApp::setNamesFromExecutable(const char* executablePath) {
    CString name = executablePath ? executablePath : "";
    if (const auto slash = name.find_last_of('/'); slash != CString::npos) {
        name.erase(0, slash + 1);
    }
    if (const auto dot = name.find_last_of('.'); dot != CString::npos && dot > 0) {
        name.erase(dot);
    }
    if (m_appName.empty()) {
        m_appName = name;
    }
    m_profileName = ProfileStore::pathFor(m_appName);
}

BOOL CWinApp::WriteProfileInt(const char* section, const char* entry, int value) {
    if (m_profileName.empty()) {
        m_profileName = ProfileStore::pathFor(m_appName);
    }
    return ProfileStore(m_profileName).writeInt(section, entry, value);
}

int CWinApp::GetProfileInt(const char* section, const char* entry, int fallback) {
    if (m_profileName.empty()) {
        m_profileName = ProfileStore::pathFor(m_appName);
    }
    return ProfileStore(m_profileName).getInt(section, entry, fallback);
}

void CWinApp::OnHelp() {
    // The program ships no help file; the command is accepted and does nothing.
}

CWinApp* AfxGetApp() {
    return theApp;
}

int AfxWinMain(int argc, char* argv[]) {
    CWinApp* app = AfxGetApp();
    if (!app) {
        return 1;
    }
    app->setNamesFromExecutable(argc > 0 && argv ? argv[0] : nullptr);
    // The application runs its main window modally inside InitInstance and returns FALSE, so
    // there is no message loop of the framework's own to run afterwards.
    app->InitInstance();
    return app->ExitInstance();
}
