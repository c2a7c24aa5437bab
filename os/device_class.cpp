#include "os/device_class.h"

#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <dirent.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "os/read_calls.h"

namespace {

// File systems that keep their files on a local disk (see onLocalDiskFileSystem), by f_type.
constexpr long LOCAL_DISK_FILE_SYSTEMS[] = {
    EXT4_SUPER_MAGIC, // ext2, ext3 and ext4
    XFS_SUPER_MAGIC,
    BTRFS_SUPER_MAGIC,
    F2FS_SUPER_MAGIC,
    0xca451a4e, // bcachefs
    0x3153464a, // JFS
    REISERFS_SUPER_MAGIC,
    MSDOS_SUPER_MAGIC, // FAT
    EXFAT_SUPER_MAGIC,
    0x7366746e, // NTFS (ntfs3)
    0x482b,     // HFS+
    ISOFS_SUPER_MAGIC,
    UDF_SUPER_MAGIC,
    SQUASHFS_MAGIC,
    EROFS_SUPER_MAGIC_V1,
    0x2fc12fc1, // ZFS
    NILFS_SUPER_MAGIC,
};

// Device stacks deeper than this are taken as parallel rather than followed further.
constexpr int MAX_DEPTH = 8;

// The first line of a small sysfs file, without its line end and trailing blanks; empty when it
// cannot be read.
std::string firstLine(const std::string& path) {
    std::string line;
    if (std::FILE* file = std::fopen(path.c_str(), "re")) {
        char buffer[PATH_MAX];
        if (std::fgets(buffer, sizeof buffer, file) != nullptr) {
            line = buffer;
        }
        std::fclose(file);
    }
    while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back()))) {
        line.pop_back();
    }
    return line;
}

std::string lowerCase(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

std::string resolved(const std::string& path) {
    char buffer[PATH_MAX];
    return realpath(path.c_str(), buffer) != nullptr ? std::string(buffer) : std::string();
}

std::string lastComponent(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::vector<std::string> entriesOf(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            if (entry->d_name[0] != '.') {
                names.emplace_back(entry->d_name);
            }
        }
        closedir(dir);
    }
    return names;
}

bool startsWith(const std::string& text, const char* prefix) {
    return text.compare(0, std::strlen(prefix), prefix) == 0;
}

bool containsAny(const std::string& text, std::initializer_list<const char*> parts) {
    for (const char* part : parts) {
        if (text.find(part) != std::string::npos) {
            return true;
        }
    }
    return false;
}

class Classifier {
public:
    explicit Classifier(const std::string& root) : root_(resolved(root)) {}

    DeviceKind ofDevice(std::uint64_t device, int depth) const {
        const unsigned int majorNumber = major(static_cast<dev_t>(device));
        const unsigned int minorNumber = minor(static_cast<dev_t>(device));
        // Major 0: no block device of its own (tmpfs, overlay, NFS, FUSE, btrfs).
        if (depth > MAX_DEPTH || majorNumber == 0 || root_.empty()) {
            return DeviceKind::Parallel;
        }
        const std::string folder = resolved(root_ + "/dev/block/" + std::to_string(majorNumber) +
                                            ":" + std::to_string(minorNumber));
        return folder.empty() ? DeviceKind::Parallel : ofFolder(folder, depth);
    }

private:
    // folder: a block device's folder under <root>/devices.
    DeviceKind ofFolder(std::string folder, int depth) const {
        if (depth > MAX_DEPTH) {
            return DeviceKind::Parallel;
        }
        if (access((folder + "/partition").c_str(), F_OK) == 0) {
            folder.erase(folder.find_last_of('/')); // a partition's folder is in its disk's
        }
        const std::string backing = firstLine(folder + "/loop/backing_file");
        if (!backing.empty()) {
            struct stat info;
            return ::stat(backing.c_str(), &info) == 0 ? ofDevice(info.st_dev, depth + 1)
                                                       : DeviceKind::Parallel;
        }
        const std::vector<std::string> parts = entriesOf(folder + "/slaves");
        if (!parts.empty()) {
            for (const std::string& part : parts) {
                const std::string partFolder = resolved(folder + "/slaves/" + part);
                if (!partFolder.empty() &&
                    ofFolder(partFolder, depth + 1) == DeviceKind::Rotational) {
                    return DeviceKind::Rotational;
                }
            }
            return DeviceKind::Parallel;
        }
        return ofDisk(folder);
    }

    DeviceKind ofDisk(const std::string& folder) const {
        const std::string rotational = firstLine(folder + "/queue/rotational");
        if (rotational != "1") {
            return DeviceKind::Parallel; // "0", or nothing said
        }
        // Where the disk sits, below the sysfs root, and what drives it, tell a virtual disk.
        const std::string where = lowerCase(folder.substr(root_.size()));
        const std::string driver = lastComponent(resolved(folder + "/device/driver"));
        const std::string maker = lowerCase(firstLine(folder + "/device/vendor") + " " +
                                            firstLine(folder + "/device/model"));
        const std::string name = lastComponent(folder);
        if (driver == "virtio_blk" || driver == "vbd" || driver == "xen_blkfront" ||
            driver == "nbd" || driver == "rbd" ||
            containsAny(where, {"/virtio", "vmbus", "/xen", "vbd-"}) ||
            containsAny(maker, {"qemu", "vmware", "virtual", "vbox", "msft", "google", "amazon",
                                "red hat", "nutanix"})) {
            return DeviceKind::Parallel;
        }
        // Several hardware queues: NVMe-like, or an array behind a controller.
        if (entriesOf(folder + "/mq").size() > 1 || startsWith(name, "nvme") ||
            startsWith(name, "mmcblk") || startsWith(name, "zram") || startsWith(name, "pmem")) {
            return DeviceKind::Parallel;
        }
        return DeviceKind::Rotational;
    }

    std::string root_;
};

} // namespace

DeviceKind deviceKindOf(std::uint64_t device, const std::string& sysfsRoot) {
    return Classifier(sysfsRoot).ofDevice(device, 0);
}

bool onLocalDiskFileSystem(int fd) {
    const long type = ReadCalls::current().fileSystemType(fd);
    for (long local : LOCAL_DISK_FILE_SYSTEMS) {
        if (type == local) {
            return true;
        }
    }
    return false;
}
