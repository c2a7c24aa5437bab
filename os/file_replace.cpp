#include "os/file_replace.h"

#include <cerrno>
#include <chrono>
#include <climits>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Links followed before giving up with ELOOP, as the kernel's own limit.
constexpr int MAX_LINKS = 40;
// Names tried for the new file before giving up with EEXIST.
constexpr int MAX_TRIES = 100;
// The longest part of the target's name that goes into the new file's name, so that the
// latter stays within NAME_MAX.
constexpr std::size_t MAX_NAME_PART = 200;

// The folder part of path, with its final '/'; empty for a bare name.
std::string folderOf(const std::string& path) {
    const std::string::size_type slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

struct Target {
    std::string path;
    bool exists = false;
    mode_t mode = 0;
    uid_t owner = 0;
    gid_t group = 0;
};

// Follows path's symbolic links to the file they lead to (which need not exist).
int resolve(const char* path, FileCalls& calls, Target& target) {
    std::string current = path;
    for (int links = 0;; ++links) {
        struct stat info;
        if (calls.lstat(current.c_str(), &info) != 0) {
            if (errno != ENOENT) {
                return errno;
            }
            target.path = current;
            return 0;
        }
        if (!S_ISLNK(info.st_mode)) {
            target = Target{current, true, info.st_mode, info.st_uid, info.st_gid};
            return 0;
        }
        if (links == MAX_LINKS) {
            return ELOOP;
        }
        char buffer[PATH_MAX];
        const ssize_t length = calls.readlink(current.c_str(), buffer, sizeof buffer);
        if (length < 0) {
            return errno;
        }
        if (std::size_t(length) == sizeof buffer) {
            return ENAMETOOLONG;
        }
        const std::string link(buffer, std::size_t(length));
        current = !link.empty() && link.front() == '/' ? link : folderOf(current) + link;
    }
}

// A new, empty file beside target, hidden by a leading dot: its descriptor, or -1 with errno.
int createBeside(const std::string& target, FileCalls& calls, std::string& name) {
    static const char LETTERS[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    static unsigned long long counter = 0;
    const std::string folder = folderOf(target);
    const std::string base = target.substr(folder.size()).substr(0, MAX_NAME_PART);
    for (int tries = 0; tries < MAX_TRIES; ++tries) {
        // Only needs to differ from names already there; O_EXCL settles any clash.
        unsigned long long seed =
            (unsigned long long)(std::chrono::steady_clock::now().time_since_epoch().count()) ^
            ((unsigned long long)(::getpid()) << 32) ^ (++counter * 0x9E3779B97F4A7C15ull);
        std::string suffix;
        for (int i = 0; i < 6; ++i, seed /= 62) {
            suffix += LETTERS[seed % 62];
        }
        name = folder + "." + base + "." + suffix;
        // O_EXCL: never an existing file, nor whatever a link there leads to.
        const int fd = calls.open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    errno = EEXIST;
    return -1;
}

int writeAll(int fd, std::string_view bytes, FileCalls& calls) {
    while (!bytes.empty()) {
        const ssize_t written = calls.write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return written < 0 ? errno : EIO;
        }
        bytes.remove_prefix(std::size_t(written));
    }
    return 0;
}

// Makes the rename itself durable. The target has been replaced by now, so a failure here is
// not a failed save and is not reported.
void syncFolder(const std::string& target, FileCalls& calls) {
    const std::string folder = folderOf(target);
    const int fd =
        calls.open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    if (fd >= 0) {
        calls.fsync(fd);
        calls.close(fd);
    }
}

} // namespace

int replaceFileContents(const char* path, std::string_view bytes, FileCalls& calls) {
    // 1. The file to replace: where the links lead, a regular file the saver may write.
    Target target;
    if (const int error = resolve(path, calls, target); error != 0) {
        return error;
    }
    if (target.exists && !S_ISREG(target.mode)) {
        return S_ISDIR(target.mode) ? EISDIR : ENXIO;
    }
    if (target.exists && calls.access(target.path.c_str(), W_OK) != 0) {
        return errno;
    }

    // 2. The new file: contents, owner, permission bits, flushed to the disk. Only root may
    // give a file away, and root saving another user's file must not take it from them. The
    // owner comes first, since a change of owner clears the set-user-ID and set-group-ID bits.
    std::string temporary;
    const int fd = createBeside(target.path, calls, temporary);
    if (fd < 0) {
        return errno;
    }
    int error = writeAll(fd, bytes, calls);
    if (error == 0 && target.exists && ::geteuid() == 0 &&
        calls.fchown(fd, target.owner, target.group) != 0) {
        error = errno;
    }
    if (error == 0 && target.exists && calls.fchmod(fd, target.mode & 07777) != 0) {
        error = errno;
    }
    if (error == 0 && calls.fsync(fd) != 0) {
        error = errno;
    }
    // Linux releases the descriptor even when close fails, so it is never closed twice.
    if (calls.close(fd) != 0 && error == 0) {
        error = errno;
    }

    // 3. The new file takes the target's place in one step.
    if (error == 0 && calls.rename(temporary.c_str(), target.path.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        calls.unlink(temporary.c_str());
        return error;
    }
    syncFolder(target.path, calls);
    return 0;
}
