#include "engine/xxh3_paths.h"

namespace {

bool cpuSupports(Xxh3Path path) {
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
    __builtin_cpu_init();
    return path == Xxh3Path::Portable || __builtin_cpu_supports("avx2");
#else
    return path == Xxh3Path::Portable;
#endif
}

} // namespace

const Xxh3Functions* xxh3Functions(Xxh3Path path) {
    if (!cpuSupports(path)) {
        return nullptr;
    }
    return path == Xxh3Path::Avx2 ? xxh3FunctionsAvx2() : xxh3FunctionsPortable();
}

bool xxh3PathAvailable(Xxh3Path path) {
    return xxh3Functions(path) != nullptr;
}

const Xxh3Functions& xxh3DefaultFunctions() {
    static const Xxh3Functions* const chosen = xxh3PathAvailable(Xxh3Path::Avx2)
                                                   ? xxh3Functions(Xxh3Path::Avx2)
                                                   : xxh3Functions(Xxh3Path::Portable);
    return *chosen;
}
