#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

/// One thing a folder walk found.
struct WalkEntry {
    enum class Kind {
        File,             ///< a regular file, or a link to one
        UnreadableFolder, ///< a folder whose entries could not be read
        Special,          ///< a FIFO, socket or device: passed over
        LinkToFolder,     ///< a link to a folder: not followed, so that no walk loops
        Broken,           ///< a link that leads nowhere, or an entry gone or unreadable
    };
    Kind kind = Kind::File;
    /// The path below the walked folder's parent: "photos/2024/a.jpg".
    std::string relative;
    /// The size of a File, as its status gave it.
    std::uint64_t size = 0;
    /// Why an UnreadableFolder could not be read (errno).
    int error = 0;
};

/// Walks a folder tree depth first, one entry at a time, in the byte order of the entries'
/// paths, the order `find DIR | LC_ALL=C sort` gives. Hidden entries are included. Each
/// folder's entries are read and sorted when the walk reaches it, so memory follows the
/// folders along one path, not the tree.
class FolderWalk {
public:
    /// folder: the folder to walk, as a path that opens from the current folder.
    explicit FolderWalk(std::string folder);
    ~FolderWalk();
    FolderWalk(const FolderWalk&) = delete;
    FolderWalk& operator=(const FolderWalk&) = delete;

    /// The next entry; false when the walk is over. Reading a folder of many entries is the one
    /// long step: every `PACE` entries read, pace (if any) is called, and when it returns false
    /// the walk ends there (stopped() tells).
    static constexpr int PACE = 256;
    template <typename Pace> bool next(WalkEntry& entry, Pace pace);
    bool next(WalkEntry& entry);

    bool stopped() const { return stopped_; }
    /// The name the walked folder's entries are found under: its last component.
    const std::string& rootName() const { return rootName_; }
    /// The walked folder's parent as given, with a final '/' (empty: the current folder); an
    /// entry opens as parent() + relative.
    const std::string& parent() const { return base_; }

private:
    struct Frame;
    bool step(WalkEntry& entry, bool (*pace)(void*), void* context);

    std::string base_; // the walked folder's parent, as given, with a final '/' (or empty)
    std::string rootName_;
    std::vector<std::unique_ptr<Frame>> stack_;
    bool started_ = false;
    bool stopped_ = false;
};

template <typename Pace> bool FolderWalk::next(WalkEntry& entry, Pace pace) {
    return step(
        entry, [](void* context) { return (*static_cast<Pace*>(context))(); }, &pace);
}
