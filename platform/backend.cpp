#include "platform/backend.h"

#include <cstdio>
#include <cstdlib>

namespace {
Backend* installed = nullptr;
}

Backend& backend() {
    if (!installed) {
        // Every entry point installs a backend first; reaching here is a programming error.
        std::fputs("no window-system backend installed\n", stderr);
        std::abort();
    }
    return *installed;
}

void setBackend(Backend* b) {
    installed = b;
}
