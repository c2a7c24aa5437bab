#pragma once

#include <cstddef>
#include <cstdint>

// The MD5 compression function applied to count consecutive 64-byte blocks, which may have any
// alignment. Taking a run of blocks keeps the chaining value in registers between them.
using Md5BlockFunction = void (*)(std::uint32_t* state, const std::uint8_t* blocks,
                                  std::size_t count);

/// Plain C++ compression, for every CPU.
void md5BlocksPortable(std::uint32_t* state, const std::uint8_t* blocks, std::size_t count);

/// The compression that runs in one vector lane with AVX-512 F and VL, or null when this build
/// has none. The caller checks that the CPU has those features before using it.
Md5BlockFunction md5Avx512Blocks();

/// Compresses count blocks with the path in use (see md5_dispatch.h).
void md5RunBlocks(std::uint32_t* state, const std::uint8_t* blocks, std::size_t count);
