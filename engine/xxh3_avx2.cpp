#include "engine/xxh3_paths.h"

// Built with -mavx2 on x86, where xxhash.h takes its AVX2 accumulation; everywhere else this file
// only says that it has no code.

#if defined(__AVX2__)

#include "engine/xxh3_functions.h"

const Xxh3Functions* xxh3FunctionsAvx2() {
    return &FUNCTIONS;
}

#else

const Xxh3Functions* xxh3FunctionsAvx2() {
    return nullptr;
}

#endif
