#include "os/folder_walk.h"

#include <algorithm>
#include <cerrno>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

// What a folder holds, one entry each, with what its status told.
struct Item {
    std::string key; // the name, with a '/' after it for a folder to walk into
    WalkEntry::Kind kind = WalkEntry::Kind::File;
    std::uint64_t size = 0;
    bool folder = false;
};

Item classify(int folderFd, const char* name) {
    Item item;
    item.key = name;
    struct stat info;
    if (::fstatat(folderFd, name, &info, AT_SYMLINK_NOFOLLOW) != 0) {
        item.kind = WalkEntry::Kind::Broken;
        return item;
    }
    if (S_ISLNK(info.st_mode)) {
        // A link to a file is followed, as md5sum follows it; a link to a folder is not.
        if (::fstatat(folderFd, name, &info, 0) != 0) {
            item.kind = WalkEntry::Kind::Broken;
        } else if (S_ISDIR(info.st_mode)) {
            item.kind = WalkEntry::Kind::LinkToFolder;
            return item;
        }
    }
    if (S_ISDIR(info.st_mode)) {
        item.folder = true;
        item.key += '/'; // "a/x" sorts after "a.txt", as whole paths sort
    } else if (S_ISREG(info.st_mode)) {
        item.size = static_cast<std::uint64_t>(info.st_size);
    } else if (item.kind != WalkEntry::Kind::Broken) {
        item.kind = WalkEntry::Kind::Special;
    }
    return item;
}

} // namespace

struct FolderWalk::Frame {
    std::string relative;
    std::vector<Item> items;
    std::size_t next = 0;
};

FolderWalk::FolderWalk(std::string folder) {
    while (folder.size() > 1 && folder.back() == '/') {
        folder.pop_back();
    }
    const std::size_t slash = folder.rfind('/');
    if (folder == "/") {
        base_.assign(1, '/');
    } else if (slash == std::string::npos) {
        rootName_ = folder;
    } else {
        base_ = folder.substr(0, slash + 1);
        rootName_ = folder.substr(slash + 1);
    }
}

FolderWalk::~FolderWalk() = default;

bool FolderWalk::next(WalkEntry& entry) {
    return step(entry, nullptr, nullptr);
}

bool FolderWalk::step(WalkEntry& entry, bool (*pace)(void*), void* context) {
    if (stopped_) {
        return false;
    }
    // The folder at relative: read whole and sorted, or, unreadable, an entry of its own.
    const auto enter = [&](const std::string& relative) {
        const std::string path = base_ + (relative.empty() ? "." : relative);
        DIR* folder = ::opendir(path.c_str());
        if (folder == nullptr) {
            entry = WalkEntry{WalkEntry::Kind::UnreadableFolder, relative, 0, errno};
            return true;
        }
        auto frame = std::make_unique<Frame>();
        frame->relative = relative;
        int read = 0;
        while (const dirent* found = ::readdir(folder)) {
            const std::string_view name = found->d_name;
            if (name == "." || name == "..") {
                continue;
            }
            frame->items.push_back(classify(::dirfd(folder), found->d_name));
            if (++read % PACE == 0 && pace != nullptr && !pace(context)) {
                ::closedir(folder);
                stopped_ = true;
                return false;
            }
        }
        ::closedir(folder);
        std::sort(frame->items.begin(), frame->items.end(),
                  [](const Item& a, const Item& b) { return a.key < b.key; });
        stack_.push_back(std::move(frame));
        return false;
    };

    if (!started_) {
        started_ = true;
        if (enter(rootName_)) {
            return true;
        }
    }
    while (!stopped_ && !stack_.empty()) {
        Frame& top = *stack_.back();
        if (top.next == top.items.size()) {
            stack_.pop_back();
            continue;
        }
        const Item& item = top.items[top.next++];
        std::string relative = top.relative;
        if (!relative.empty()) {
            relative += '/';
        }
        relative.append(item.key, 0, item.folder ? item.key.size() - 1 : item.key.size());
        if (item.folder) {
            if (enter(relative)) {
                return true;
            }
            continue;
        }
        entry = WalkEntry{item.kind, std::move(relative), item.size};
        return true;
    }
    return false;
}
