// The program's entry: the command line, then the desktop window system, the resources, and
// the application object.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "app/checksum_app.h"
#include "app/command_line.h"
#include "platform/qt/qt_desktop.h"
#include "ui/app_resources.h"

namespace {

ChecksumApp theApp;

// The exit status when there is no display to open the window on.
constexpr int STATUS_NO_DISPLAY = 1;

bool isSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

// Whether the window has somewhere to show: a display named by DISPLAY or WAYLAND_DISPLAY, or a
// platform of Qt's own named by QT_QPA_PLATFORM (a list of names separated by ';', each with
// optional ":options"), except xcb, which needs DISPLAY. Without one Qt aborts as it starts.
bool haveDisplay() {
    if (isSet("DISPLAY") || isSet("WAYLAND_DISPLAY")) {
        return true;
    }
    const char* platforms = std::getenv("QT_QPA_PLATFORM");
    std::string_view list = platforms != nullptr ? platforms : "";
    while (!list.empty()) {
        const std::string_view entry = list.substr(0, list.find(';'));
        const std::string_view name = entry.substr(0, entry.find(':'));
        if (!name.empty() && name != "xcb") {
            return true;
        }
        list.remove_prefix(std::min(list.size(), entry.size() + 1));
    }
    return false;
}

std::string programName(const char* path) {
    const std::string name = path != nullptr && *path != '\0' ? path : "digestor";
    const std::string::size_type slash = name.find_last_of('/');
    return slash == std::string::npos ? name : name.substr(slash + 1);
}

// Empty when the current folder is unknown (it was removed, say): names then stay relative.
std::string startFolder() {
    std::error_code error;
    const std::filesystem::path here = std::filesystem::current_path(error);
    return error ? std::string() : here.string();
}

} // namespace

int main(int argc, char* argv[]) {
    const std::string program = programName(argc > 0 ? argv[0] : nullptr);
    const CommandLine line = parseCommandLine(
        std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc), startFolder());
    if (const std::optional<int> status = answerWithoutWindow(line, program, stdout, stderr)) {
        return *status;
    }
    if (!haveDisplay()) {
        std::fprintf(stderr,
                     "%s: no display to open the window on (set DISPLAY or WAYLAND_DISPLAY, or "
                     "run it under xvfb-run)\n",
                     program.c_str());
        return STATUS_NO_DISPLAY;
    }
    // Qt sees the program's name only: the arguments are ours, and a file named like one of
    // Qt's options (-style, say) stays a file.
    int qtArgc = argc > 0 ? 1 : 0;
    QtDesktop desktop(qtArgc, argv, "Brackwater Digestor", "brackwater-digestor");
    registerAppResources();
    theApp.startWith(std::vector<CString>(line.files.begin(), line.files.end()), line.generate,
                     line.algorithm);
    return AfxWinMain(qtArgc, argv);
}
