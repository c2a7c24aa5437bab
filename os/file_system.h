#pragma once

#include <cstdint>

/// Makes path the process's current folder. False, changing nothing, when it cannot.
bool changeDirectory(const char* path);

/// The size of the regular file at path (links followed); false for anything else, or when it
/// cannot be looked at.
bool regularFileSize(const char* path, std::uint64_t& size);
