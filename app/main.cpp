// The program's entry: the desktop window system, the resources, then the application object.

#include <cstdio>
#include <cstdlib>

#include "app/checksum_app.h"
#include "platform/qt/qt_desktop.h"
#include "ui/app_resources.h"

namespace {

ChecksumApp theApp;

bool haveDisplay() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(name);
        if (value && *value) {
            return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char* argv[]) {
    if (!haveDisplay()) {
        std::fprintf(stderr,
                     "%s: no display to open the window on (set DISPLAY or WAYLAND_DISPLAY, or "
                     "run it under xvfb-run)\n",
                     argc > 0 ? argv[0] : "digestor");
        return 2;
    }
    QtDesktop desktop(argc, argv, "Brackwater Digestor", "brackwater-digestor");
    registerAppResources();
    return AfxWinMain(argc, argv);
}
