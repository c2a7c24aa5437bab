#include "os/file_system.h"

#include <algorithm>
#include <cerrno>
#include <string_view>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool changeDirectory(const char* path) {
    return ::chdir(path) == 0;
}

bool regularFileSize(const char* path, std::uint64_t& size) {
    struct stat info;
    if (::stat(path, &info) != 0 || !S_ISREG(info.st_mode)) {
        return false;
    }
    size = static_cast<std::uint64_t>(info.st_size);
    return true;
}

bool isFolder(const char* path) {
    struct stat info;
    return ::stat(path, &info) == 0 && S_ISDIR(info.st_mode);
}

bool regularFileNames(const std::string& folder, std::unordered_set<std::string>& names) {
    DIR* listing = ::opendir(folder.c_str());
    if (listing == nullptr) {
        return false;
    }
    while (const dirent* entry = ::readdir(listing)) {
        if (entry->d_type == DT_REG) {
            names.emplace(entry->d_name);
        }
    }
    ::closedir(listing);
    return true;
}

SameFile sameFile(const char* a, const char* b) {
    struct stat first;
    struct stat second;
    if (::stat(a, &first) != 0 || ::stat(b, &second) != 0) {
        return SameFile::Unknown;
    }
    return first.st_dev == second.st_dev && first.st_ino == second.st_ino ? SameFile::Yes
                                                                          : SameFile::No;
}

int entriesIn(const std::string& folder, std::vector<std::string>& names,
              const std::function<bool(std::string_view)>& wanted) {
    names.clear();
    DIR* listing = ::opendir(folder.c_str());
    if (listing == nullptr) {
        return errno;
    }
    while (const dirent* found = ::readdir(listing)) {
        // Only the status is asked for, links followed: nothing here is opened, so no writer
        // waiting on a FIFO is woken and no device is touched. A link that leads nowhere has
        // none, and is kept.
        struct stat info;
        if (wanted(found->d_name) &&
            (::fstatat(::dirfd(listing), found->d_name, &info, 0) != 0 || !S_ISDIR(info.st_mode))) {
            names.emplace_back(found->d_name);
        }
    }
    ::closedir(listing);
    std::sort(names.begin(), names.end());
    return 0;
}
