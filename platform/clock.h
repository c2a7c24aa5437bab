#pragma once

#include <cstdint>

/// The time long work measures itself by.
class Clock {
public:
    virtual ~Clock() = default;

    /// Milliseconds on a clock that only moves forward; where it starts is the clock's own.
    virtual std::uint64_t tickCount() = 0;
};
