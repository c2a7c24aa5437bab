#pragma once

#include <cstdint>
#include <cstdio>

/// fopen for regular files only, never blocking on a FIFO or device; "r" reads CR LF as LF.
/// When size is given, it receives the file's size in bytes as it stood when opened.
// A read-only stream keeps its descriptor to itself (fileno() gives -1 for "r" and "rb") and
// has a buffer sized to the file, up to 128 KiB.
std::FILE* openFileStream(const char* path, const char* mode, std::int64_t* size = nullptr);
