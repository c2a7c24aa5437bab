#include "platform/headless/headless_backend.h"

// The desktop is the first base, so it is whole before the parts that keep a reference to it.
HeadlessBackend::HeadlessBackend()
    : HeadlessWindowManager(desktopOf(*this)), HeadlessControls(desktopOf(*this)),
      HeadlessListControls(desktopOf(*this)), HeadlessDrawing(desktopOf(*this)),
      HeadlessSystemMenus(desktopOf(*this)), HeadlessDesktopServices(desktopOf(*this)),
      HeadlessWorkLoop(desktopOf(*this)), HeadlessUser(desktopOf(*this)) {}

HeadlessBackend::~HeadlessBackend() = default;
