#pragma once

// The 64 steps of one MD5 block (RFC 1321), written once for every multi-lane path. A path
// supplies a policy type V with a vector type V::Vec (one 32-bit word per lane) and the
// operations below; each step then works on every lane at once.
//
//   static Vec add(Vec, Vec);
//   static Vec addConstant(Vec, std::uint32_t);       // the same word added to every lane
//   template <int Round> static Vec mix(Vec b, Vec c, Vec d);  // F, G, H or I
//   template <int S> static Vec rotl(Vec);
//   static Vec early(Vec);                            // keeps a partial sum where it is
//
// Only this header and the files of the paths include it.

#include <cstdint>
#include <utility>

namespace md5_lanes_detail {

inline constexpr std::uint32_t K[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391,
};

inline constexpr int SHIFT[4][4] = {
    {7, 12, 17, 22}, {5, 9, 14, 20}, {4, 11, 16, 23}, {6, 10, 15, 21}};

// The message word that step i reads.
constexpr int wordIndex(int i) {
    switch (i / 16) {
    case 0:
        return i;
    case 1:
        return (5 * i + 1) % 16;
    case 2:
        return (3 * i + 5) % 16;
    default:
        return (7 * i) % 16;
    }
}

// a = b + ((a + mix(b, c, d) + w + K) <<< s), with everything that does not need b summed first:
// b is the word the step before produced, so it is the one the lanes wait for.
template <class V, int I>
[[gnu::always_inline]] inline void step(typename V::Vec& a, typename V::Vec b, typename V::Vec c,
                                        typename V::Vec d, const typename V::Vec* w) {
    typename V::Vec t = V::early(V::add(a, V::addConstant(w[wordIndex(I)], K[I])));
    t = V::add(t, V::template mix<I / 16>(b, c, d));
    a = V::add(b, V::template rotl<SHIFT[I / 16][I % 4]>(t));
}

template <class V, int... Q>
[[gnu::always_inline]] inline void
allSteps(typename V::Vec& a, typename V::Vec& b, typename V::Vec& c, typename V::Vec& d,
         const typename V::Vec* w, std::integer_sequence<int, Q...>) {
    // Four steps per group, the roles of the words turning by one each step.
    ((step<V, 4 * Q>(a, b, c, d, w), step<V, 4 * Q + 1>(d, a, b, c, w),
      step<V, 4 * Q + 2>(c, d, a, b, w), step<V, 4 * Q + 3>(b, c, d, a, w)),
     ...);
}

/// Runs one block, its 16 words already split into lanes, on the chaining value a, b, c, d.
template <class V>
[[gnu::always_inline]] inline void compressBlock(typename V::Vec& a, typename V::Vec& b,
                                                 typename V::Vec& c, typename V::Vec& d,
                                                 const typename V::Vec* w) {
    const typename V::Vec a0 = a;
    const typename V::Vec b0 = b;
    const typename V::Vec c0 = c;
    const typename V::Vec d0 = d;
    allSteps<V>(a, b, c, d, w, std::make_integer_sequence<int, 16>());
    a = V::add(a, a0);
    b = V::add(b, b0);
    c = V::add(c, c0);
    d = V::add(d, d0);
}

} // namespace md5_lanes_detail
