#pragma once

/// The compression functions this build can run. Every path gives the same digests; they differ
/// only in speed.
enum class Md5Path {
    Portable, ///< plain C++, for every CPU
    Avx512,   ///< one vector lane with ternary logic and vector rotate (AVX-512 F and VL)
};

/// Whether this build has the path and the CPU can run it.
bool md5PathAvailable(Md5Path path);

/// The path chosen for this CPU when none is forced.
Md5Path md5DefaultPath();

/// Makes every Md5Context use path from now on. Returns false, changing nothing, when the path
/// is not available. Meant for tests and benchmarks.
bool md5ForcePath(Md5Path path);

/// Returns to the path chosen for this CPU.
void md5UseDefaultPath();

/// The path in use now.
Md5Path md5ActivePath();
