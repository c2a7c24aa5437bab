#include "os/read_calls.h"

#include <atomic>
#include <cerrno>

#include <fcntl.h>
#include <liburing.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/syscall.h>
#include <unistd.h>

// cachestat(2), Linux 6.5: the same number on every architecture that has it.
#if !defined(SYS_cachestat) && defined(__linux__)
#define SYS_cachestat 451
#endif

namespace {

std::atomic<ReadCalls*> installed{nullptr};
std::atomic<bool> ringsFailed{false};

struct CacheRange {
    std::uint64_t offset;
    std::uint64_t length;
};

struct CacheStat {
    std::uint64_t cached;
    std::uint64_t dirty;
    std::uint64_t writeback;
    std::uint64_t evicted;
    std::uint64_t recentlyEvicted;
};

} // namespace

int ReadCalls::fstat(int fd, struct stat* info) {
    return ::fstat(fd, info);
}

ssize_t ReadCalls::read(int fd, void* buffer, std::size_t size) {
    return ::read(fd, buffer, size);
}

ssize_t ReadCalls::pread(int fd, void* buffer, std::size_t size, off_t offset) {
    return ::pread(fd, buffer, size, offset);
}

bool ReadCalls::ringsAllowed() {
    return !ringsFailed.load(std::memory_order_relaxed);
}

void ReadCalls::ringFailed() {
    ringsFailed.store(true, std::memory_order_relaxed);
}

int ReadCalls::ringSubmitAndWait(io_uring* ring) {
    return io_uring_submit_and_wait(ring, 1);
}

int ReadCalls::ringReadResult(int /*fd*/, void* /*buffer*/, std::size_t /*size*/, off_t /*offset*/,
                              int result) {
    return result;
}

int ReadCalls::adviseWillNeed(int fd, off_t offset, off_t length) {
    return posix_fadvise(fd, offset, length, POSIX_FADV_WILLNEED);
}

std::int64_t ReadCalls::cachedPages(int fd, std::uint64_t offset, std::uint64_t length) {
#ifdef SYS_cachestat
    CacheRange range{offset, length};
    CacheStat stat{};
    if (syscall(SYS_cachestat, fd, &range, &stat, 0) != 0) {
        return -1;
    }
    return static_cast<std::int64_t>(stat.cached);
#else
    (void)fd;
    (void)offset;
    (void)length;
    errno = ENOSYS;
    return -1;
#endif
}

long ReadCalls::fileSystemType(int fd) {
    struct statfs info;
    return ::fstatfs(fd, &info) == 0 ? static_cast<long>(info.f_type) : -1;
}

ReadCalls& ReadCalls::system() {
    static ReadCalls calls;
    return calls;
}

ReadCalls& ReadCalls::current() {
    ReadCalls* calls = installed.load(std::memory_order_acquire);
    return calls != nullptr ? *calls : system();
}

void ReadCalls::install(ReadCalls* calls) {
    installed.store(calls, std::memory_order_release);
}

ScopedReadCalls::ScopedReadCalls(ReadCalls& calls)
    : previous_(installed.load(std::memory_order_acquire)) {
    ReadCalls::install(&calls);
}

ScopedReadCalls::~ScopedReadCalls() {
    ReadCalls::install(previous_);
}
