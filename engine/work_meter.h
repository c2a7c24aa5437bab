#pragma once

#include <cstdint>

/// What long work reports to whoever watches it, and how it learns that it should stop. The
/// work calls it from its own thread, between pieces: often enough that a watcher can keep a
/// window alive, and cheaply, since it is called for every piece read.
class WorkMeter {
public:
    virtual ~WorkMeter() = default;
    /// `bytes` more have been hashed (0 between files or lines, so that a watcher is asked even
    /// when nothing is read). False asks the work to stop at once.
    virtual bool advance(std::uint64_t bytes) = 0;
    /// The work turns to the file `name`, of `size` bytes (-1 when unknown). Work that hashes
    /// several files at once names the oldest one it has not yet reported.
    virtual void beginFile(const char* /*name*/, std::int64_t /*size*/) {}
};

/// What digestStream returns when its meter asked it to stop.
inline constexpr int DIGEST_STOPPED = -2;
/// What verifyList returns when its meter asked it to stop.
inline constexpr int VERIFY_STOPPED = 4;
