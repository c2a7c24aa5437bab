#include "os/file_system.h"

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
