#include "os/file_stream.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <new>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "os/read_calls.h"

namespace {

struct OpenMode {
    int flags = 0;               // open(2) access and creation flags
    const char* streamMode = ""; // the same access for fdopen, which must not truncate again
    bool truncate = false;
    bool read = false; // read-only: "r" or "rb"
    bool text = false; // plain "r": CR LF pairs are delivered as LF
};

bool parseMode(const char* mode, OpenMode& out) {
    bool plus = false;
    bool binary = false;
    bool exclusive = false;
    for (const char* c = mode + 1; *c != '\0'; ++c) {
        plus = plus || *c == '+';
        binary = binary || *c == 'b';
        exclusive = exclusive || *c == 'x';
    }
    switch (mode[0]) {
    case 'r':
        out.flags = plus ? O_RDWR : O_RDONLY;
        out.streamMode = plus ? "r+" : "r";
        out.read = !plus;
        out.text = !plus && !binary;
        return true;
    case 'w':
        out.flags = (plus ? O_RDWR : O_WRONLY) | O_CREAT | (exclusive ? O_EXCL : 0);
        out.streamMode = plus ? "w+" : "w";
        out.truncate = true;
        return true;
    case 'a':
        out.flags = (plus ? O_RDWR : O_WRONLY) | O_CREAT | O_APPEND | (exclusive ? O_EXCL : 0);
        out.streamMode = plus ? "a+" : "a";
        return true;
    default:
        return false;
    }
}

// A read stream's descriptor keeps the O_NONBLOCK it was opened with: Linux ignores the flag for
// regular files, and clearing it up front would cost every file a system call. Should some file
// system honour it after all, the first EAGAIN clears it and the read is repeated, blocking.
ssize_t readRetrying(int fd, char* buffer, size_t size) {
    ReadCalls& calls = ReadCalls::current();
    for (;;) {
        const ssize_t n = calls.read(fd, buffer, size);
        if (n >= 0) {
            return n;
        }
        if (errno != EINTR && (errno != EAGAIN || ::fcntl(fd, F_SETFL, 0) != 0)) {
            return -1;
        }
    }
}

// What stands behind a read-only stream. fopencookie rather than fdopen: glibc's fdopen asks the
// descriptor for its flags again and the first read fstat()s the file again, two system calls
// per file that a run over a list of many small files pays for.
//
// In text mode a CR can only be judged once the byte after it is known, so a CR that ends one
// read is held back in `carry` and joins the next one.
struct FileReader {
    int fd;
    bool text;
    int carry = -1;                 // a byte read from fd but not delivered yet, or -1
    std::unique_ptr<char[]> buffer; // the stream's buffer; the stream goes before the reader

    // Drops the CR of every CR LF pair in buffer[0, length) and returns the new length; a CR in
    // the last place moves to carry.
    size_t convert(char* buffer, size_t length) {
        bool heldCr = false;
        const size_t kept = dropCrBeforeLf(buffer, length, heldCr);
        if (heldCr) {
            carry = '\r';
        }
        return kept;
    }

    // A one-byte request with a CR held back: look at one more byte to decide.
    ssize_t readOneAfterCarry(char* buffer) {
        char next;
        const ssize_t n = readRetrying(fd, &next, 1);
        if (n < 0) {
            return -1;
        }
        buffer[0] = static_cast<char>(carry);
        carry = -1;
        if (n == 1 && next == '\n') {
            buffer[0] = '\n';
        } else if (n == 1) {
            carry = static_cast<unsigned char>(next);
        }
        return 1;
    }

    ssize_t readText(char* buffer, size_t size) {
        if (size == 0) {
            return 0;
        }
        for (;;) {
            if (carry >= 0 && size == 1) {
                if (carry == '\r') {
                    return readOneAfterCarry(buffer);
                }
                buffer[0] = static_cast<char>(carry);
                carry = -1;
                return 1;
            }
            size_t held = 0;
            if (carry >= 0) {
                buffer[0] = static_cast<char>(carry);
                held = 1;
            }
            const ssize_t n = readRetrying(fd, buffer + held, size - held);
            if (n < 0) {
                return -1; // the carry stays for a retry; stdio marks the stream's error
            }
            carry = -1;
            if (n == 0) {
                return static_cast<ssize_t>(held); // a CR at the very end stays a CR
            }
            const size_t length = convert(buffer, held + static_cast<size_t>(n));
            if (length > 0) {
                return static_cast<ssize_t>(length);
            }
            // Only a lone CR came in, now held back; a result of 0 would read as end of file.
        }
    }
};

ssize_t readerRead(void* cookie, char* buffer, size_t size) {
    auto* reader = static_cast<FileReader*>(cookie);
    return reader->text ? reader->readText(buffer, size) : readRetrying(reader->fd, buffer, size);
}

// A text stream seeks only back to its start, where no CR can be held back: anywhere else its
// positions, counted after the CR LF rule, are not the file's.
int readerSeek(void* cookie, off64_t* position, int whence) {
    auto* reader = static_cast<FileReader*>(cookie);
    if (reader->text && (whence != SEEK_SET || *position != 0)) {
        errno = ESPIPE;
        return -1;
    }
    const off64_t result = ::lseek64(reader->fd, *position, whence);
    if (result < 0) {
        return -1;
    }
    reader->carry = -1;
    *position = result;
    return 0;
}

int readerClose(void* cookie) {
    auto* reader = static_cast<FileReader*>(cookie);
    const int result = ::close(reader->fd);
    delete reader;
    return result;
}

// A read stream's buffer holds the whole of a small file, so that it is read in one system call
// without the C library allocating a buffer of its own, and up to 128 KiB of a large one, so that
// the 1024-byte reads of the hashing cost a system call only every 128 pieces.
constexpr off_t MIN_READ_BUFFER = 4096;
constexpr off_t MAX_READ_BUFFER = 128 * 1024;

std::size_t readBufferSize(off_t fileSize) {
    const off_t wanted = (fileSize / MIN_READ_BUFFER + 1) * MIN_READ_BUFFER;
    return static_cast<std::size_t>(std::clamp(wanted, MIN_READ_BUFFER, MAX_READ_BUFFER));
}

std::FILE* openReadStream(int fd, bool text, off_t fileSize) {
    const std::size_t bufferSize = readBufferSize(fileSize);
    auto* reader = new (std::nothrow) FileReader{fd, text, -1, nullptr};
    if (reader != nullptr) {
        reader->buffer.reset(new (std::nothrow) char[bufferSize]);
    }
    if (reader == nullptr || reader->buffer == nullptr) {
        delete reader;
        errno = ENOMEM;
        return nullptr;
    }
    const cookie_io_functions_t functions{readerRead, nullptr, readerSeek, readerClose};
    std::FILE* stream = fopencookie(reader, "r", functions);
    if (stream == nullptr) {
        delete reader;
        return nullptr;
    }
    std::setvbuf(stream, reader->buffer.get(), _IOFBF, bufferSize);
    return stream;
}

void closeKeepingErrno(int fd) {
    const int saved = errno;
    ::close(fd);
    errno = saved;
}

// Why a file of this type is not opened: EISDIR for a folder, ENXIO for a FIFO, socket or
// device; 0 for a regular file.
int refusalOf(mode_t type) {
    if (S_ISREG(type)) {
        return 0;
    }
    return S_ISDIR(type) ? EISDIR : ENXIO;
}

// Opens path with flags, and keeps it only if it is a regular file; info receives its status.
// lookFirst false: the caller knows path for a regular file already, from its folder's listing.
int openRegularFile(const char* path, int flags, struct stat& info, bool lookFirst = true) {
    // The type is looked at before the open (links followed), since an open alone has effects:
    // it wakes a writer waiting on a FIFO, whose next write then fails with SIGPIPE once the
    // FIFO is closed again, and it can act on a device. A name that does not exist yet goes on
    // to the open, which creates it when flags say so.
    if (!lookFirst) {
        // Known for a regular file: one lookup of the name, not two.
    } else if (::stat(path, &info) == 0) {
        if (const int refusal = refusalOf(info.st_mode); refusal != 0) {
            errno = refusal;
            return -1;
        }
    } else if (errno != ENOENT || (flags & O_CREAT) == 0) {
        return -1;
    }
    // The name may lead elsewhere by the time of the open, so the open guards as well:
    // O_NONBLOCK keeps it from waiting for the other end of a FIFO (or for a device), and the
    // type is checked again on what was opened. Truncation waits until the target is known to
    // be a regular file.
    const int fd = ::open(path, flags | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd < 0) {
        return -1;
    }
    if (ReadCalls::current().fstat(fd, &info) != 0) {
        closeKeepingErrno(fd);
        return -1;
    }
    if (const int refusal = refusalOf(info.st_mode); refusal != 0) {
        ::close(fd);
        errno = refusal;
        return -1;
    }
    return fd;
}

} // namespace

std::size_t dropCrBeforeLf(char* buffer, std::size_t length, bool& heldCr) {
    char* out = buffer;
    const char* in = buffer;
    const char* end = buffer + length;
    heldCr = false;
    while (in < end) {
        const void* found = std::memchr(in, '\r', static_cast<size_t>(end - in));
        const char* run = found != nullptr ? static_cast<const char*>(found) : end;
        if (out != in) {
            std::memmove(out, in, static_cast<size_t>(run - in));
        }
        out += run - in;
        if (run == end) {
            break;
        }
        if (run + 1 == end) {
            heldCr = true;
            break;
        }
        if (run[1] != '\n') {
            *out++ = '\r';
        }
        in = run + 1;
    }
    return static_cast<size_t>(out - buffer);
}

int openReadDescriptor(const char* path, std::int64_t* size, std::uint64_t* device,
                       bool knownRegular) {
    struct stat info;
    const int fd = openRegularFile(path, O_RDONLY, info, !knownRegular);
    if (fd >= 0 && size != nullptr) {
        *size = info.st_size;
    }
    if (fd >= 0 && device != nullptr) {
        *device = info.st_dev;
    }
    return fd;
}

long readDescriptor(int fd, void* buffer, std::size_t size) {
    return readRetrying(fd, static_cast<char*>(buffer), size);
}

void closeDescriptor(int fd) {
    ::close(fd);
}

std::FILE* openFileStream(const char* path, const char* mode, std::int64_t* size) {
    OpenMode how;
    if (!parseMode(mode, how)) {
        errno = EINVAL;
        return nullptr;
    }
    struct stat info;
    const int fd = openRegularFile(path, how.flags, info);
    if (fd < 0) {
        return nullptr;
    }
    if (size != nullptr) {
        *size = info.st_size;
    }
    if (how.read) {
        std::FILE* stream = openReadStream(fd, how.text, info.st_size);
        if (stream == nullptr) {
            closeKeepingErrno(fd);
        }
        return stream;
    }
    // The descriptor of a write stream is there for anyone to see (fileno): it must block as
    // fopen's would.
    if ((how.truncate && info.st_size > 0 && ::ftruncate(fd, 0) != 0) ||
        ::fcntl(fd, F_SETFL, how.flags & O_APPEND) != 0) {
        closeKeepingErrno(fd);
        return nullptr;
    }
    std::FILE* stream = ::fdopen(fd, how.streamMode);
    if (stream == nullptr) {
        closeKeepingErrno(fd);
    }
    return stream;
}
