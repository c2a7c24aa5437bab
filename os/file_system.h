#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

/// Makes path the process's current folder. False, changing nothing, when it cannot.
bool changeDirectory(const char* path);

/// The size of the regular file at path (links followed); false for anything else, or when it
/// cannot be looked at.
bool regularFileSize(const char* path, std::uint64_t& size);

/// Whether path names a folder (links followed).
bool isFolder(const char* path);

/// The names of the regular files directly in folder, as its listing gives their types (links
/// and entries of unknown type are left out). False when it cannot be read.
bool regularFileNames(const std::string& folder, std::unordered_set<std::string>& names);

/// Whether paths a and b (links followed) are one file; Unknown when either cannot be looked at.
enum class SameFile { Yes, No, Unknown };
SameFile sameFile(const char* a, const char* b);

/// The names of the entries directly in folder that wanted accepts, in byte order: regular files,
/// and the links, FIFOs, sockets and devices that a reader must be told it cannot open; folders
/// and links to folders are left out. Only the names accepted are looked at further, and only
/// by their status, so a large folder costs little more than reading it. Returns 0, or the errno
/// that reading the folder failed with (names then empty).
int entriesIn(const std::string& folder, std::vector<std::string>& names,
              const std::function<bool(std::string_view)>& wanted);
