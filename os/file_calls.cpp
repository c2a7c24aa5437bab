#include "os/file_calls.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

int FileCalls::lstat(const char* path, struct stat* info) {
    return ::lstat(path, info);
}

ssize_t FileCalls::readlink(const char* path, char* buffer, std::size_t size) {
    return ::readlink(path, buffer, size);
}

int FileCalls::access(const char* path, int mode) {
    return ::faccessat(AT_FDCWD, path, mode, AT_EACCESS);
}

int FileCalls::open(const char* path, int flags, mode_t mode) {
    return ::open(path, flags, mode);
}

ssize_t FileCalls::write(int fd, const void* data, std::size_t size) {
    return ::write(fd, data, size);
}

int FileCalls::fchmod(int fd, mode_t mode) {
    return ::fchmod(fd, mode);
}

int FileCalls::fchown(int fd, uid_t owner, gid_t group) {
    return ::fchown(fd, owner, group);
}

int FileCalls::fsync(int fd) {
    return ::fsync(fd);
}

int FileCalls::close(int fd) {
    return ::close(fd);
}

int FileCalls::rename(const char* from, const char* to) {
    return std::rename(from, to);
}

int FileCalls::unlink(const char* path) {
    return ::unlink(path);
}

FileCalls& FileCalls::system() {
    static FileCalls calls;
    return calls;
}
