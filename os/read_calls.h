#pragma once

#include <cstddef>
#include <cstdint>

#include <sys/types.h>

struct io_uring;
struct stat;

/// The calls through which files are read and read ahead, behind one seam: system() makes them,
/// and a test derives from ReadCalls and installs its own (ScopedReadCalls) to make reads come
/// back short, fail at an offset or be interrupted, to make io_uring fail, and to see what is
/// asked of the disk. Each returns what the call of the same name returns: -1 with errno set on
/// failure for the C library's calls, -errno for io_uring's.
class ReadCalls {
public:
    virtual ~ReadCalls() = default;

    /// fstat(2) of a file just opened for reading: the size it tells is the size the file had
    /// when opened.
    virtual int fstat(int fd, struct stat* info);
    virtual ssize_t read(int fd, void* buffer, std::size_t size);
    virtual ssize_t pread(int fd, void* buffer, std::size_t size, off_t offset);

    /// Whether io_uring may be used; without it reads and advice are made directly.
    virtual bool ringsAllowed();
    /// An io_uring has failed for good (its calls failing again and again): system()'s calls
    /// allow none from then on.
    virtual void ringFailed();
    /// io_uring_submit_and_wait(ring, 1).
    virtual int ringSubmitAndWait(io_uring* ring);
    /// A read of size bytes at offset of fd into buffer, made through io_uring, completed with
    /// result (the count, or -errno): what the reader is to take it as.
    virtual int ringReadResult(int fd, void* buffer, std::size_t size, off_t offset, int result);

    /// posix_fadvise(fd, offset, length, POSIX_FADV_WILLNEED), made where no ring takes it.
    virtual int adviseWillNeed(int fd, off_t offset, off_t length);
    /// cachestat(2): the pages of the range that the page cache holds, or -1 with errno set
    /// where the kernel cannot tell.
    virtual std::int64_t cachedPages(int fd, std::uint64_t offset, std::uint64_t length);
    /// fstatfs(2)'s f_type of the file system fd is on, or -1.
    virtual long fileSystemType(int fd);

    /// The calls as the system makes them.
    static ReadCalls& system();
    /// The calls every read goes through: system()'s, unless a test has installed others.
    static ReadCalls& current();

private:
    friend class ScopedReadCalls;
    static void install(ReadCalls* calls);
};

/// Makes calls the current ones for its lifetime, then puts back the ones before.
class ScopedReadCalls {
public:
    explicit ScopedReadCalls(ReadCalls& calls);
    ~ScopedReadCalls();
    ScopedReadCalls(const ScopedReadCalls&) = delete;
    ScopedReadCalls& operator=(const ScopedReadCalls&) = delete;

private:
    ReadCalls* previous_;
};
