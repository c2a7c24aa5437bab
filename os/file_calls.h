#pragma once

#include <cstddef>

#include <sys/types.h>

struct stat;

/// The system calls through which a file is written and put in place, behind one seam: system()
/// makes them, and a test derives from FileCalls to make any one of them fail (a write that
/// stops half-way, a flush or a rename that fails). Each returns what the call of the same name
/// returns: -1 with errno set on failure.
class FileCalls {
public:
    virtual ~FileCalls() = default;

    virtual int lstat(const char* path, struct stat* info);
    virtual ssize_t readlink(const char* path, char* buffer, std::size_t size);
    /// access(2) with the effective IDs.
    virtual int access(const char* path, int mode);
    virtual int open(const char* path, int flags, mode_t mode);
    virtual ssize_t write(int fd, const void* data, std::size_t size);
    virtual int fchmod(int fd, mode_t mode);
    virtual int fchown(int fd, uid_t owner, gid_t group);
    virtual int fsync(int fd);
    virtual int close(int fd);
    virtual int rename(const char* from, const char* to);
    virtual int unlink(const char* path);

    /// The calls as the system makes them.
    static FileCalls& system();
};
