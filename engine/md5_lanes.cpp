#include "engine/md5_lanes.h"

#include <atomic>
#include <bit>
#include <cstring>

#include "engine/md5_lane_rounds.h"

namespace {

using u32 = std::uint32_t;

// The portable path keeps PORTABLE_WIDTH messages in ordinary registers and runs their steps
// interleaved: each message is one long dependency chain, and the CPU's parallel units take the
// chains' operations side by side.
constexpr int PORTABLE_WIDTH = 3;

struct ScalarLanes {
    struct Vec {
        u32 v[PORTABLE_WIDTH];
    };

    template <class Op> [[gnu::always_inline]] static Vec each(Op op) {
        Vec r;
        for (int i = 0; i < PORTABLE_WIDTH; ++i) {
            r.v[i] = op(i);
        }
        return r;
    }
    [[gnu::always_inline]] static Vec add(Vec x, Vec y) {
        return each([&](int i) { return x.v[i] + y.v[i]; });
    }
    [[gnu::always_inline]] static Vec addConstant(Vec x, u32 k) {
        return each([&](int i) { return x.v[i] + k; });
    }
    template <int Round> [[gnu::always_inline]] static Vec mix(Vec b, Vec c, Vec d) {
        return each([&](int i) {
            if constexpr (Round == 0) {
                return d.v[i] ^ (b.v[i] & (c.v[i] ^ d.v[i]));
            } else if constexpr (Round == 1) {
                return (b.v[i] & d.v[i]) | (c.v[i] & ~d.v[i]);
            } else if constexpr (Round == 2) {
                return b.v[i] ^ c.v[i] ^ d.v[i];
            } else {
                return c.v[i] ^ (b.v[i] | ~d.v[i]);
            }
        });
    }
    template <int S> [[gnu::always_inline]] static Vec rotl(Vec x) {
        return each([&](int i) { return std::rotl(x.v[i], S); });
    }
    [[gnu::always_inline]] static Vec early(Vec x) {
#if defined(__GNUC__)
        for (int i = 0; i < PORTABLE_WIDTH; ++i) {
            asm("" : "+r"(x.v[i]));
        }
#endif
        return x;
    }
};

[[gnu::always_inline]] inline u32 littleEndianWord(const std::uint8_t* p) {
    u32 w;
    std::memcpy(&w, p, 4);
    if constexpr (std::endian::native == std::endian::big) {
        w = __builtin_bswap32(w);
    }
    return w;
}

void lanesPortable(Md5LaneState& state, const std::uint8_t* const* data, std::size_t count) {
    using Vec = ScalarLanes::Vec;
    Vec a, b, c, d;
    for (int i = 0; i < PORTABLE_WIDTH; ++i) {
        a.v[i] = state.words[0][i];
        b.v[i] = state.words[1][i];
        c.v[i] = state.words[2][i];
        d.v[i] = state.words[3][i];
    }
    for (std::size_t block = 0; block < count; ++block) {
        Vec w[16];
        for (int j = 0; j < 16; ++j) {
            for (int i = 0; i < PORTABLE_WIDTH; ++i) {
                w[j].v[i] = littleEndianWord(data[i] + 64 * block + 4 * j);
            }
        }
        md5_lanes_detail::compressBlock<ScalarLanes>(a, b, c, d, w);
    }
    for (int i = 0; i < PORTABLE_WIDTH; ++i) {
        state.words[0][i] = a.v[i];
        state.words[1][i] = b.v[i];
        state.words[2][i] = c.v[i];
        state.words[3][i] = d.v[i];
    }
}

bool cpuHas(const char* feature) {
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
    // The checks also ask whether the operating system saves the vector state.
    __builtin_cpu_init();
    if (std::strcmp(feature, "avx2") == 0) {
        return __builtin_cpu_supports("avx2");
    }
    return __builtin_cpu_supports("avx512f");
#else
    (void)feature;
    return false;
#endif
}

Md5LanePath widestPath() {
    if (md5LanePathAvailable(Md5LanePath::Avx512)) {
        return Md5LanePath::Avx512;
    }
    return md5LanePathAvailable(Md5LanePath::Avx2) ? Md5LanePath::Avx2 : Md5LanePath::Portable;
}

// -1 until a path is forced; then the forced path.
std::atomic<int> forcedPath{-1};

} // namespace

int md5LaneWidth(Md5LanePath path) {
    switch (path) {
    case Md5LanePath::Portable:
        return PORTABLE_WIDTH;
    case Md5LanePath::Avx2:
        return 8;
    case Md5LanePath::Avx512:
        return 16;
    }
    return 1;
}

bool md5LanePathAvailable(Md5LanePath path) {
    switch (path) {
    case Md5LanePath::Portable:
        return true;
    case Md5LanePath::Avx2:
        return md5LanesAvx2() != nullptr && cpuHas("avx2");
    case Md5LanePath::Avx512:
        return md5LanesAvx512() != nullptr && cpuHas("avx512f");
    }
    return false;
}

Md5LaneFunction md5LaneFunction(Md5LanePath path) {
    if (!md5LanePathAvailable(path)) {
        return nullptr;
    }
    switch (path) {
    case Md5LanePath::Portable:
        return lanesPortable;
    case Md5LanePath::Avx2:
        return md5LanesAvx2();
    case Md5LanePath::Avx512:
        return md5LanesAvx512();
    }
    return nullptr;
}

Md5LanePath md5ActiveLanePath() {
    const int forced = forcedPath.load(std::memory_order_relaxed);
    if (forced >= 0) {
        return static_cast<Md5LanePath>(forced);
    }
    static const Md5LanePath widest = widestPath();
    return widest;
}

bool md5ForceLanePath(Md5LanePath path) {
    if (!md5LanePathAvailable(path)) {
        return false;
    }
    forcedPath.store(static_cast<int>(path), std::memory_order_relaxed);
    return true;
}

void md5UseDefaultLanePath() {
    forcedPath.store(-1, std::memory_order_relaxed);
}
