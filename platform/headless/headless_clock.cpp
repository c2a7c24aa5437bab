#include "platform/headless/headless_clock.h"

std::uint64_t HeadlessClock::tickCount() {
    const std::uint64_t step = m_stepMs;
    return m_ms.fetch_add(step) + step;
}
