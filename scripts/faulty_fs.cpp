// A small FUSE file system whose files misbehave the way failing disks and odd file systems do,
// for checking from outside that the program never certifies a checksum it did not compute.
// Every file is opened with direct I/O, so that each read reaches this program and nothing is
// served from the page cache. The files, each holding the same pattern of bytes:
//
//   good        4 MiB, read as asked
//   choppy      4 MiB, every read comes back short (at most 5,000 bytes), but whole in the end
//   eio_small   200,000 bytes; a read that starts at 64 KiB or later fails with EIO, one that
//               crosses 64 KiB comes back short, ending there
//   eio_late    3 MiB; a read that starts at 2 MiB or later fails with EIO
//   short_big   says it holds 1 MiB, but only 200,000 bytes can be read
//
// `faulty_fs --write-pattern=FILE SIZE` writes the pattern's first SIZE bytes to FILE instead,
// so that the true digests can be had with md5sum.
// Usage: faulty_fs MOUNTPOINT [FUSE OPTIONS]   (unmount with fusermount3 -u MOUNTPOINT)
#define FUSE_USE_VERSION 31
#include <fuse.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include <sys/stat.h>

namespace {

constexpr std::uint64_t KIB = 1024;
constexpr std::uint64_t MIB = 1024 * KIB;

enum class Fault { None, Choppy, ErrorFrom, ShortOf };

struct File {
    const char* name;
    std::uint64_t size;  // what stat says
    std::uint64_t holds; // what can be read
    Fault fault;
    std::uint64_t from; // ErrorFrom: the first offset that fails
};

constexpr File FILES[] = {
    {"good", 4 * MIB, 4 * MIB, Fault::None, 0},
    {"choppy", 4 * MIB, 4 * MIB, Fault::Choppy, 0},
    {"eio_small", 200000, 200000, Fault::ErrorFrom, 64 * KIB},
    {"eio_late", 3 * MIB, 3 * MIB, Fault::ErrorFrom, 2 * MIB},
    {"short_big", 1 * MIB, 200000, Fault::None, 0},
};

std::uint8_t patternByte(std::uint64_t offset) {
    std::uint64_t x = offset * 0x9E3779B97F4A7C15ull;
    x ^= x >> 29;
    return static_cast<std::uint8_t>(x >> 17);
}

const File* find(const char* path) {
    for (const File& file : FILES) {
        if (path[0] == '/' && std::strcmp(path + 1, file.name) == 0) {
            return &file;
        }
    }
    return nullptr;
}

int getattr(const char* path, struct stat* info, fuse_file_info*) {
    std::memset(info, 0, sizeof *info);
    if (std::strcmp(path, "/") == 0) {
        info->st_mode = S_IFDIR | 0755;
        info->st_nlink = 2;
        return 0;
    }
    const File* file = find(path);
    if (file == nullptr) {
        return -ENOENT;
    }
    info->st_mode = S_IFREG | 0444;
    info->st_nlink = 1;
    info->st_size = static_cast<off_t>(file->size);
    return 0;
}

int readdir(const char* path, void* buffer, fuse_fill_dir_t fill, off_t, fuse_file_info*,
            fuse_readdir_flags) {
    if (std::strcmp(path, "/") != 0) {
        return -ENOENT;
    }
    fill(buffer, ".", nullptr, 0, static_cast<fuse_fill_dir_flags>(0));
    fill(buffer, "..", nullptr, 0, static_cast<fuse_fill_dir_flags>(0));
    for (const File& file : FILES) {
        fill(buffer, file.name, nullptr, 0, static_cast<fuse_fill_dir_flags>(0));
    }
    return 0;
}

int open(const char* path, fuse_file_info* info) {
    if (find(path) == nullptr) {
        return -ENOENT;
    }
    if ((info->flags & O_ACCMODE) != O_RDONLY) {
        return -EACCES;
    }
    info->direct_io = 1;
    return 0;
}

int read(const char* path, char* buffer, size_t size, off_t offset, fuse_file_info*) {
    const File* file = find(path);
    if (file == nullptr) {
        return -ENOENT;
    }
    const auto start = static_cast<std::uint64_t>(offset);
    std::uint64_t end = std::min<std::uint64_t>(start + size, file->holds);
    if (start >= end) {
        return 0;
    }
    switch (file->fault) {
    case Fault::None:
    case Fault::ShortOf:
        break;
    case Fault::Choppy:
        end = std::min<std::uint64_t>(end, start + 5000);
        break;
    case Fault::ErrorFrom:
        if (start >= file->from) {
            return -EIO;
        }
        end = std::min(end, file->from);
        break;
    }
    for (std::uint64_t at = start; at < end; ++at) {
        buffer[at - start] = static_cast<char>(patternByte(at));
    }
    return static_cast<int>(end - start);
}

int writePattern(const char* path, const char* sizeText) {
    std::FILE* out = std::fopen(path, "wb");
    if (out == nullptr) {
        std::perror(path);
        return 1;
    }
    const std::uint64_t size = std::strtoull(sizeText, nullptr, 10);
    for (std::uint64_t at = 0; at < size; ++at) {
        std::fputc(patternByte(at), out);
    }
    return std::fclose(out) == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    constexpr std::string_view WRITE = "--write-pattern=";
    if (argc == 3 && std::string_view(argv[1]).substr(0, WRITE.size()) == WRITE) {
        return writePattern(argv[1] + WRITE.size(), argv[2]);
    }
    fuse_operations operations{};
    operations.getattr = getattr;
    operations.readdir = readdir;
    operations.open = open;
    operations.read = read;
    return fuse_main(argc, argv, &operations, nullptr);
}
