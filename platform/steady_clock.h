#pragma once

#include "platform/clock.h"

/// The system's monotonic clock, for the desktop program.
class SteadyClock : public Clock {
public:
    std::uint64_t tickCount() override;
};
