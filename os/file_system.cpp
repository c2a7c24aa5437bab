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

int entriesIn(const std::string& folder, std::vector<FolderEntry>& entries,
              const std::function<bool(std::string_view)>& wanted) {
    entries.clear();
    DIR* listing = ::opendir(folder.c_str());
    if (listing == nullptr) {
        return errno;
    }
    while (const dirent* found = ::readdir(listing)) {
        if (!wanted(found->d_name)) {
            continue;
        }
        // Only the status is asked for, links followed: nothing here is opened, so no writer
        // waiting on a FIFO is woken and no device is touched.
        struct stat info;
        if (::fstatat(::dirfd(listing), found->d_name, &info, 0) != 0) {
            entries.push_back(FolderEntry{found->d_name, false}); // a link that leads nowhere
        } else if (S_ISREG(info.st_mode)) {
            entries.push_back(FolderEntry{found->d_name, true});
        } else if (!S_ISDIR(info.st_mode)) {
            entries.push_back(FolderEntry{found->d_name, false}); // a FIFO, socket or device
        }
    }
    ::closedir(listing);
    std::sort(entries.begin(), entries.end(),
              [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
    return 0;
}
