#pragma once

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "engine/work_meter.h"

#include <gtest/gtest.h>

// A meter that records what the work reports, and asks it to stop once stopAt bytes have been
// hashed (0: at the first call) or after stopAfterCalls calls. It also checks that every byte
// it hears belongs to the file last begun, and that no file gets more bytes than it has.
class StoppingMeter : public WorkMeter {
public:
    explicit StoppingMeter(std::uint64_t stopAt = std::numeric_limits<std::uint64_t>::max(),
                           std::uint64_t stopAfterCalls = std::numeric_limits<std::uint64_t>::max())
        : stopAt_(stopAt), stopAfterCalls_(stopAfterCalls) {}

    bool advance(std::uint64_t bytes) override {
        ++calls;
        if (bytes > 0) {
            EXPECT_FALSE(files.empty()) << "bytes before any file was begun";
            fileBytes_ += bytes;
            EXPECT_TRUE(fileSize_ < 0 || fileBytes_ <= std::uint64_t(fileSize_))
                << "more bytes than " << files.back();
        }
        total += bytes;
        largest = std::max(largest, bytes);
        stopped = stopped || total >= stopAt_ || calls > stopAfterCalls_;
        return !stopped;
    }
    void beginFile(const char* name, std::int64_t size) override {
        files.push_back(name + std::string(":") + std::to_string(size));
        fileSize_ = size;
        fileBytes_ = 0;
    }

    std::uint64_t calls = 0;
    std::uint64_t total = 0;
    std::uint64_t largest = 0;
    bool stopped = false;
    std::vector<std::string> files; ///< "name:size" as beginFile heard them

private:
    std::uint64_t stopAt_;
    std::uint64_t stopAfterCalls_;
    std::int64_t fileSize_ = -1;
    std::uint64_t fileBytes_ = 0;
};
