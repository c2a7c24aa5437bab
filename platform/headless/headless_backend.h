#pragma once

#include "platform/backend.h"
#include "platform/headless/headless_clock.h"
#include "platform/headless/headless_controls.h"
#include "platform/headless/headless_desktop.h"
#include "platform/headless/headless_desktop_services.h"
#include "platform/headless/headless_drawing.h"
#include "platform/headless/headless_list_controls.h"
#include "platform/headless/headless_system_menus.h"
#include "platform/headless/headless_user.h"
#include "platform/headless/headless_window_manager.h"
#include "platform/headless/headless_work_loop.h"

/// A deterministic, synchronous window system kept in memory, for tests: the headless part of
/// each job on one desktop, and a simulated user. Tests call the jobs' calls on it directly,
/// drive it as a user would (HeadlessUser, queue, duringWork, answerSave), set its clock and
/// clipboard, and read what happened through the const readers of each part.
class HeadlessBackend : private HeadlessDesktop,
                        public Backend,
                        public HeadlessWindowManager,
                        public HeadlessControls,
                        public HeadlessListControls,
                        public HeadlessDrawing,
                        public HeadlessSystemMenus,
                        public HeadlessDesktopServices,
                        public HeadlessWorkLoop,
                        public HeadlessUser {
public:
    using HeadlessDesktop::MAX_TRACK_EXTRA;
    using HeadlessDesktop::MIN_TRACK_HEIGHT;
    using HeadlessDesktop::MIN_TRACK_WIDTH;
    using HeadlessDesktop::PARKED;
    using HeadlessDesktop::SCREEN_HEIGHT;
    using HeadlessDesktop::SCREEN_WIDTH;

    using HeadlessDesktop::dluToPixelsX;
    using HeadlessDesktop::dluToPixelsY;

    // What tests read of the windows (see HeadlessDesktop).
    using HeadlessDesktop::events;
    using HeadlessDesktop::findDialog;
    using HeadlessDesktop::focusedControl;
    using HeadlessDesktop::record;
    using HeadlessDesktop::sentCount;
    using HeadlessDesktop::sentMessages;
    using HeadlessDesktop::topLevelWindows;
    using HeadlessDesktop::zOrder;

    HeadlessBackend();
    ~HeadlessBackend() override;
    HeadlessBackend(const HeadlessBackend&) = delete;
    HeadlessBackend& operator=(const HeadlessBackend&) = delete;

    WindowManager& windows() override { return *this; }
    Controls& controls() override { return *this; }
    ListControls& lists() override { return *this; }
    Drawing& drawing() override { return *this; }
    SystemMenus& menus() override { return *this; }
    DesktopServices& services() override { return *this; }
    WorkLoop& loop() override { return *this; }
    HeadlessClock& clock() override { return m_clock; }

private:
    /// The desktop part of backend. A static function, not a member call, so that the parts can
    /// be given it while the backend is still being made.
    static HeadlessDesktop& desktopOf(HeadlessBackend& backend) { return backend; }

    HeadlessClock m_clock;
};
