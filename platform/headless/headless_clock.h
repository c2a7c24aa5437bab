#pragma once

#include <atomic>

#include "platform/clock.h"

/// A clock that a test sets: it stands still unless the test moves it or gives it a step by
/// which every reading moves it on. Work on another thread may read it while the window's
/// thread does.
class HeadlessClock : public Clock {
public:
    /// The time, moved on by the step first.
    std::uint64_t tickCount() override;

    /// Puts the clock at ms.
    void set(std::uint64_t ms) { m_ms = ms; }
    /// Every reading from now on moves the clock by ms first; 0 stops it.
    void setStep(std::uint64_t ms) { m_stepMs = ms; }

private:
    std::atomic<std::uint64_t> m_ms{0};
    std::atomic<std::uint64_t> m_stepMs{0};
};
