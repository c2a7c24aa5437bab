#pragma once

#include <string_view>

#include "os/file_calls.h"

/// Puts bytes, unchanged, in the file at path so that nothing is lost if it fails: the bytes go
/// to a new file in the same folder, which is flushed to the disk and then renamed over the
/// target. On any failure the target is untouched and the new file is removed. Returns 0, or
/// the errno of the step that failed.
///
/// - A symbolic link is followed: the file it leads to is replaced, and the link stays (a
///   dangling link's target is created).
/// - An existing target keeps its permission bits, and, when the process runs as root
///   (effective user ID 0), its owner and group; otherwise the replacement belongs to whoever
///   saves. A target the saver may not write is refused (EACCES) rather than replaced.
/// - A new file gets the permissions a plain create would (0666 less the umask).
/// - Only a regular file is replaced: a folder is refused with EISDIR, and a FIFO, socket or
///   device with ENXIO, without ever being opened, so nothing waits on one.
/// - The folder must be writable, since the new file is made there.
int replaceFileContents(const char* path, std::string_view bytes,
                        FileCalls& calls = FileCalls::system());
