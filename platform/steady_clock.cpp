#include "platform/steady_clock.h"

#include <chrono>

std::uint64_t SteadyClock::tickCount() {
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return std::uint64_t(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}
