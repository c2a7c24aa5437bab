#pragma once

#include "platform/clock.h"
#include "platform/controls.h"
#include "platform/desktop_services.h"
#include "platform/drawing.h"
#include "platform/list_controls.h"
#include "platform/system_menus.h"
#include "platform/window_manager.h"
#include "platform/work_loop.h"

/// The window system underneath the framework classes, handed out as one small interface per
/// job. Two implementations exist: the headless one that tests drive, and the Qt one of the
/// desktop program. A backend calls back into the framework only through SendMessage and the
/// drop target.
class Backend {
public:
    virtual ~Backend() = default;

    virtual WindowManager& windows() = 0;
    virtual Controls& controls() = 0;
    virtual ListControls& lists() = 0;
    virtual Drawing& drawing() = 0;
    virtual SystemMenus& menus() = 0;
    virtual DesktopServices& services() = 0;
    virtual WorkLoop& loop() = 0;
    virtual Clock& clock() = 0;
};

/// The backend in use; one must be installed before any window is made.
Backend& backend();
/// Installs backend (not owned); null uninstalls.
void setBackend(Backend* backend);
