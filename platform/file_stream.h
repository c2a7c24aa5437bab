#pragma once

#include <cstdio>

/// fopen for regular files only, never blocking on a FIFO or device; "r" reads CR LF as LF.
std::FILE* openFileStream(const char* path, const char* mode);
