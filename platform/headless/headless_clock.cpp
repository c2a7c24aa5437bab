#include "platform/headless/headless_clock.h"

std::uint64_t HeadlessClock::tickCount() {
    m_ms += m_stepMs;
    return m_ms;
}
