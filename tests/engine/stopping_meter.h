#pragma once

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "engine/work_meter.h"

// A meter that records what the work reports, and asks it to stop once stopAt bytes have been
// hashed (0: at the first call).
class StoppingMeter : public WorkMeter {
public:
    explicit StoppingMeter(std::uint64_t stopAt = std::numeric_limits<std::uint64_t>::max())
        : stopAt_(stopAt) {}

    bool advance(std::uint64_t bytes) override {
        ++calls;
        total += bytes;
        largest = std::max(largest, bytes);
        stopped = stopped || total >= stopAt_;
        return !stopped;
    }
    void beginFile(const char* name, std::int64_t size) override {
        files.push_back(name + std::string(":") + std::to_string(size));
    }

    std::uint64_t calls = 0;
    std::uint64_t total = 0;
    std::uint64_t largest = 0;
    bool stopped = false;
    std::vector<std::string> files; ///< "name:size" as beginFile heard them

private:
    std::uint64_t stopAt_;
};
