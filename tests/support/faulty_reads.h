#pragma once

// Reads that misbehave as failing disks and odd file systems do, for the files a test names, on
// every read path: plain reads, reads at an offset, and reads through io_uring, judged when they
// complete. Kept free of GoogleTest, so that a fuzz target can use it too. Reads may come from
// several threads at once (the lanes of two cores); plan and the settings are for before work.

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <random>
#include <string>

#include "os/read_calls.h"

class FaultyReads : public ReadCalls {
public:
    struct Faults {
        /// Every read comes back with a count drawn from 1 up to what it could give.
        bool shortReads = false;
        /// One read in three fails with EINTR, reading nothing.
        bool interruptions = false;
        /// Reads that start at this offset or later fail with EIO; one that crosses it comes
        /// back short, ending there. -1: none fails.
        std::int64_t failFrom = -1;
        /// The size fstat tells, and a read that crosses it comes back short, ending there: a
        /// file system that has changed its mind about the size, as FUSE does after a short
        /// read. Reads go on past it to the true end. -1: the true size.
        std::int64_t toldSize = -1;
    };

    explicit FaultyReads(std::uint32_t seed = 1) : random_(seed) {}

    /// The file at path misbehaves as faults say from now on.
    void plan(const std::string& path, const Faults& faults);

    /// What the page cache is said to hold: nothing (so that large files are read through
    /// io_uring), or everything.
    bool cacheEmpty = true;
    /// The file system every file is said to be on (fstatfs's f_type).
    long fileSystem = 0xEF53; // ext4
    /// Whether io_uring may be used: until a ring fails.
    std::atomic<bool> rings{true};
    /// Every wait on an io_uring fails with EINTR, as under a filter that interrupts the call.
    std::atomic<bool> ringWaitsInterrupted{false};

    /// Reads through io_uring that completed.
    int ringReads() const { return ringReads_; }
    /// Waits on an io_uring that were failed.
    int failedRingWaits() const { return failedRingWaits_; }

    int fstat(int fd, struct stat* info) override;
    ssize_t read(int fd, void* buffer, std::size_t size) override;
    ssize_t pread(int fd, void* buffer, std::size_t size, off_t offset) override;
    bool ringsAllowed() override { return rings; }
    void ringFailed() override { rings = false; }
    int ringSubmitAndWait(io_uring* ring) override;
    int ringReadResult(int fd, void* buffer, std::size_t size, off_t offset, int result) override;
    std::int64_t cachedPages(int fd, std::uint64_t offset, std::uint64_t length) override;
    long fileSystemType(int fd) override { return fd >= 0 ? fileSystem : -1; }

private:
    const Faults* faultsOf(int fd);
    /// How much of a read of size bytes at offset may succeed: -1 (errno set) if none.
    long allowed(const Faults& faults, std::size_t size, std::uint64_t offset);

    std::map<std::uint64_t, Faults> faults_; // by inode
    std::mutex mutex_;                       // for random_
    std::mt19937 random_;
    std::atomic<int> ringReads_{0};
    std::atomic<int> failedRingWaits_{0};
};
