#include "tests/support/faulty_reads.h"

#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

void FaultyReads::plan(const std::string& path, const Faults& faults) {
    struct stat info;
    if (::stat(path.c_str(), &info) == 0) {
        faults_[info.st_ino] = faults;
    }
}

const FaultyReads::Faults* FaultyReads::faultsOf(int fd) {
    struct stat info;
    if (::fstat(fd, &info) != 0) {
        return nullptr;
    }
    const auto found = faults_.find(info.st_ino);
    return found == faults_.end() ? nullptr : &found->second;
}

long FaultyReads::allowed(const Faults& faults, std::size_t size, std::uint64_t offset) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (faults.interruptions && random_() % 3 == 0) {
        errno = EINTR;
        return -1;
    }
    if (faults.failFrom >= 0 && offset >= static_cast<std::uint64_t>(faults.failFrom)) {
        errno = EIO;
        return -1;
    }
    std::uint64_t most = size;
    if (faults.failFrom >= 0) {
        most = std::min<std::uint64_t>(most, static_cast<std::uint64_t>(faults.failFrom) - offset);
    }
    const auto told = static_cast<std::uint64_t>(faults.toldSize);
    if (faults.toldSize >= 0 && offset < told && offset + most > told) {
        most = told - offset;
    }
    if (faults.shortReads && most > 1) {
        most = 1 + random_() % most;
    }
    return static_cast<long>(most);
}

int FaultyReads::fstat(int fd, struct stat* info) {
    const int result = ::fstat(fd, info);
    const Faults* faults = result == 0 ? faultsOf(fd) : nullptr;
    if (faults != nullptr && faults->toldSize >= 0) {
        info->st_size = static_cast<off_t>(faults->toldSize);
    }
    return result;
}

ssize_t FaultyReads::read(int fd, void* buffer, std::size_t size) {
    const Faults* faults = faultsOf(fd);
    if (faults == nullptr || size == 0) {
        return ::read(fd, buffer, size);
    }
    const long most = allowed(*faults, size, static_cast<std::uint64_t>(::lseek(fd, 0, SEEK_CUR)));
    return most < 0 ? -1 : ::read(fd, buffer, static_cast<std::size_t>(most));
}

ssize_t FaultyReads::pread(int fd, void* buffer, std::size_t size, off_t offset) {
    const Faults* faults = faultsOf(fd);
    if (faults == nullptr || size == 0) {
        return ::pread(fd, buffer, size, offset);
    }
    const long most = allowed(*faults, size, static_cast<std::uint64_t>(offset));
    return most < 0 ? -1 : ::pread(fd, buffer, static_cast<std::size_t>(most), offset);
}

int FaultyReads::ringSubmitAndWait(io_uring* ring) {
    if (ringWaitsInterrupted) {
        ++failedRingWaits_;
        return -EINTR;
    }
    return ReadCalls::ringSubmitAndWait(ring);
}

// The kernel has read result bytes into buffer; the faults decide how many of them count. The
// bytes kept are the file's, so a reader that takes the count for what it is gets the file.
int FaultyReads::ringReadResult(int fd, void* /*buffer*/, std::size_t /*size*/, off_t offset,
                                int result) {
    ++ringReads_;
    const Faults* faults = faultsOf(fd);
    if (faults == nullptr || result <= 0) {
        return result;
    }
    const long most =
        allowed(*faults, static_cast<std::size_t>(result), static_cast<std::uint64_t>(offset));
    return most < 0 ? -errno : static_cast<int>(most);
}

std::int64_t FaultyReads::cachedPages(int fd, std::uint64_t offset, std::uint64_t length) {
    (void)fd;
    (void)offset;
    // Every page of the range, or none.
    return cacheEmpty ? 0 : static_cast<std::int64_t>(length / 4096 + 2);
}
