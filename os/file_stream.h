#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

/// fopen for regular files only, links followed; "r" reads CR LF as LF. A folder (EISDIR) or a
/// FIFO, socket or device (ENXIO) is refused by its type without being opened, so no writer
/// waiting on a FIFO is woken and no device is touched. When size is given, it receives the
/// file's size in bytes as it stood when opened. A "r" stream can go back to its start (rewind);
/// its other positions are not the file's, since CR LF counts as one byte there.
// A read-only stream keeps its descriptor to itself (fileno() gives -1 for "r" and "rb") and
// has a buffer sized to the file, up to 128 KiB.
std::FILE* openFileStream(const char* path, const char* mode, std::int64_t* size = nullptr);

/// Opens path for plain reads under the same rule as openFileStream: regular files only, links
/// followed, anything else refused by its type unopened. Returns the descriptor (close-on-exec),
/// or -1. When size is given, it receives the file's size in bytes as it stood when opened, and
/// device the device its file system is on (its st_dev). knownRegular: the caller has just seen
/// path listed as a regular file in its folder, so its type is not looked up by name again
/// before the open (what was opened is still refused if it is no regular file).
int openReadDescriptor(const char* path, std::int64_t* size = nullptr,
                       std::uint64_t* device = nullptr, bool knownRegular = false);

/// Reads up to size bytes from a descriptor of openReadDescriptor, repeating a read that was
/// interrupted. Returns the count, 0 at the end of the file, -1 on an error.
long readDescriptor(int fd, void* buffer, std::size_t size);

/// Closes a descriptor of openReadDescriptor.
void closeDescriptor(int fd);

/// The text-mode rule of "r" streams applied to buffer[0, length) in place: the CR of every
/// CR LF pair is dropped. A CR in the last place cannot be judged yet: it is removed too and
/// heldCr set, and the caller puts it in front of the next bytes (or delivers it as it is when
/// no more come). Returns the new length.
std::size_t dropCrBeforeLf(char* buffer, std::size_t length, bool& heldCr);
