#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

/// Makes path the process's current folder. False, changing nothing, when it cannot.
bool changeDirectory(const char* path);

/// The size of the regular file at path (links followed); false for anything else, or when it
/// cannot be looked at.
bool regularFileSize(const char* path, std::uint64_t& size);

/// Whether path names a folder (links followed).
bool isFolder(const char* path);

/// An entry of a folder, by name, and whether it opens as a file.
struct FolderEntry {
    std::string name;
    /// A regular file or a link to one; false for a link that leads nowhere, a FIFO, a socket or
    /// a device, which are known by their status and never opened.
    bool file = true;
};

/// The entries directly in folder that wanted accepts, in byte order of their names; folders
/// and links to folders among them are left out. Only the names accepted are looked at further,
/// so a large folder costs little more than reading it. Returns 0, or the errno that reading the
/// folder failed with (entries then empty).
int entriesIn(const std::string& folder, std::vector<FolderEntry>& entries,
              const std::function<bool(std::string_view)>& wanted);
