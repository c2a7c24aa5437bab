#include "os/file_stream.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include "tests/support/scratch_folder.h"

namespace {

// A fresh folder per test, removed with everything in it afterwards.
class FileStreamTest : public testing::Test {
protected:
    std::string path(const char* name) const { return scratch_ / name; }
    std::string write(const char* name, const std::string& bytes) const {
        return scratch_.write(name, bytes);
    }

    static std::string readAll(std::FILE* in) {
        std::string bytes;
        char chunk[4096];
        size_t n;
        while ((n = std::fread(chunk, 1, sizeof chunk, in)) > 0) {
            bytes.append(chunk, n);
        }
        return bytes;
    }

    static std::string readByChar(std::FILE* in) {
        std::string bytes;
        int c;
        while ((c = std::fgetc(in)) != EOF) {
            bytes.push_back(static_cast<char>(c));
        }
        return bytes;
    }

    std::string readText(const std::string& bytes) const {
        std::FILE* in = openFileStream(write("text", bytes).c_str(), "r");
        EXPECT_NE(in, nullptr);
        if (in == nullptr) {
            return {};
        }
        std::string got = readAll(in);
        EXPECT_FALSE(std::ferror(in));
        std::fclose(in);
        return got;
    }

    ScratchFolder scratch_;
    std::string folder_ = scratch_.path().string();
};

// What text mode must deliver: every CR LF pair as LF, nothing else changed.
std::string withoutCrOfCrLf(const std::string& bytes) {
    std::string out;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
            continue;
        }
        out.push_back(bytes[i]);
    }
    return out;
}

// Fails the test by SIGALRM instead of hanging it when an open blocks.
class HangGuard {
public:
    HangGuard() { alarm(20); }
    ~HangGuard() { alarm(0); }
};

using FileStreamTextTest = FileStreamTest;

TEST_F(FileStreamTextTest, CrLfArrivesAsLf) {
    EXPECT_EQ(readText("one\r\ntwo\r\n"), "one\ntwo\n");
    EXPECT_EQ(readText("\r\n"), "\n");
}

TEST_F(FileStreamTextTest, CrCrLfArrivesAsCrLf) {
    EXPECT_EQ(readText("name\r\r\nnext\r\r\n"), "name\r\nnext\r\n");
}

TEST_F(FileStreamTextTest, LoneAndFinalCrStay) {
    EXPECT_EQ(readText("a\rb\r\rc\n\r"), "a\rb\r\rc\n\r");
    EXPECT_EQ(readText("\r"), "\r");
    EXPECT_EQ(readText("\r\r"), "\r\r");
    EXPECT_EQ(readText(""), "");
}

TEST_F(FileStreamTextTest, CrLfStraddlingTheStreamBuffer) {
    // CR as the last byte of each of several stdio-buffer-sized reads, its LF in the next one.
    std::string bytes(3 * BUFSIZ + 100, 'x');
    for (size_t at : {size_t{BUFSIZ - 1}, size_t{2 * BUFSIZ - 1}, size_t{3 * BUFSIZ - 1}}) {
        bytes[at] = '\r';
        bytes[at + 1] = '\n';
    }
    bytes[4000] = '\r'; // and a lone CR in between
    const std::string expected = withoutCrOfCrLf(bytes);
    EXPECT_EQ(readText(bytes), expected);

    // One large read goes past the stream's buffer, straight into the caller's memory.
    std::FILE* in = openFileStream(path("text").c_str(), "r");
    ASSERT_NE(in, nullptr);
    std::string whole(bytes.size(), '\0');
    whole.resize(std::fread(whole.data(), 1, whole.size(), in));
    EXPECT_EQ(whole, expected);
    std::fclose(in);
}

// A text stream goes back to its start, with no CR held back from where it was (here the last
// byte of its first read, 128 KiB); past its first read it seeks nowhere, since its positions
// are not the file's.
TEST_F(FileStreamTextTest, SeeksBackToItsStartOnly) {
    std::string bytes(200000, 'x');
    bytes[0] = 'a';
    bytes[128 * 1024 - 1] = '\r';
    bytes[128 * 1024] = '\n';
    std::FILE* in = openFileStream(write("text", bytes).c_str(), "r");
    ASSERT_NE(in, nullptr);
    EXPECT_EQ(std::fgetc(in), 'a');
    EXPECT_NE(std::fseek(in, 150000, SEEK_SET), 0);
    std::rewind(in);
    EXPECT_FALSE(std::ferror(in));
    EXPECT_EQ(readAll(in), withoutCrOfCrLf(bytes));
    std::fclose(in);
}

TEST_F(FileStreamTextTest, AnyBufferingGivesTheSameText) {
    std::mt19937 random(1321);
    std::string bytes(6000, 'a');
    for (char& c : bytes) {
        c = "a\r\n"[random() % 3];
    }
    const std::string expected = withoutCrOfCrLf(bytes);
    const std::string file = write("mixed", bytes);
    for (size_t bufferSize : {size_t{0}, size_t{2}, size_t{3}, size_t{7}, size_t{64}}) {
        SCOPED_TRACE(bufferSize);
        std::FILE* in = openFileStream(file.c_str(), "r");
        ASSERT_NE(in, nullptr);
        if (bufferSize == 0) {
            ASSERT_EQ(std::setvbuf(in, nullptr, _IONBF, 0), 0); // the reader sees 1-byte requests
        } else {
            ASSERT_EQ(std::setvbuf(in, nullptr, _IOFBF, bufferSize), 0);
        }
        EXPECT_EQ(readByChar(in), expected);
        EXPECT_FALSE(std::ferror(in));
        std::fclose(in);
    }
}

TEST_F(FileStreamTextTest, ReadErrorSurfacesAsStreamError) {
    // A regular file whose every read fails: the process's own memory at the unmapped address 0.
    for (const char* mode : {"r", "rb"}) {
        SCOPED_TRACE(mode);
        std::FILE* in = openFileStream("/proc/self/mem", mode);
        ASSERT_NE(in, nullptr);
        char chunk[64];
        EXPECT_EQ(std::fread(chunk, 1, sizeof chunk, in), 0u);
        EXPECT_TRUE(std::ferror(in));
        EXPECT_FALSE(std::feof(in));
        std::fclose(in);
    }
}

using FileStreamBinaryTest = FileStreamTest;

TEST_F(FileStreamBinaryTest, BinaryReadPassesEveryByte) {
    std::string bytes;
    for (int i = 0; i < 256; ++i) {
        bytes.push_back(static_cast<char>(i));
    }
    bytes += "\r\n\r\r\n\r";
    std::FILE* in = openFileStream(write("bytes", bytes).c_str(), "rb");
    ASSERT_NE(in, nullptr);
    EXPECT_EQ(readAll(in), bytes);
    std::fclose(in);
}

TEST_F(FileStreamBinaryTest, BinaryReadCanSeek) {
    std::FILE* in = openFileStream(write("bytes", "0123456789").c_str(), "rb");
    ASSERT_NE(in, nullptr);
    ASSERT_EQ(std::fseek(in, 6, SEEK_SET), 0);
    EXPECT_EQ(std::fgetc(in), '6');
    EXPECT_EQ(std::ftell(in), 7);
    std::rewind(in);
    EXPECT_EQ(readAll(in), "0123456789");
    std::fclose(in);
}

TEST_F(FileStreamBinaryTest, WritesPassBytesAndTruncate) {
    const std::string file = write("out", "old contents that are longer");
    for (const char* mode : {"w", "wb"}) {
        SCOPED_TRACE(mode);
        std::FILE* out = openFileStream(file.c_str(), mode);
        ASSERT_NE(out, nullptr);
        EXPECT_GE(std::fputs("a\r\nb\n\r", out), 0);
        EXPECT_EQ(std::fclose(out), 0);
        std::FILE* in = std::fopen(file.c_str(), "rb");
        ASSERT_NE(in, nullptr);
        EXPECT_EQ(readAll(in), "a\r\nb\n\r");
        std::fclose(in);
    }
    std::FILE* out = openFileStream(file.c_str(), "a");
    ASSERT_NE(out, nullptr);
    std::fputs("+\n", out);
    EXPECT_EQ(std::fclose(out), 0);
    std::FILE* in = std::fopen(file.c_str(), "rb");
    ASSERT_NE(in, nullptr);
    EXPECT_EQ(readAll(in), "a\r\nb\n\r+\n");
    std::fclose(in);
}

TEST_F(FileStreamBinaryTest, CreatesWithUmaskAppliedAndCloseOnExec) {
    const mode_t mask = umask(022);
    const std::string file = path("new");
    std::FILE* out = openFileStream(file.c_str(), "w");
    umask(mask);
    ASSERT_NE(out, nullptr);
    EXPECT_TRUE(fcntl(fileno(out), F_GETFD) & FD_CLOEXEC);
    EXPECT_EQ(fcntl(fileno(out), F_GETFL) & O_NONBLOCK, 0);
    std::fclose(out);
    struct stat info;
    ASSERT_EQ(stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u);
}

TEST_F(FileStreamBinaryTest, SymlinkToRegularFileIsFollowed) {
    const std::string target = write("target", "data");
    ASSERT_EQ(symlink(target.c_str(), path("link").c_str()), 0);
    std::FILE* in = openFileStream(path("link").c_str(), "rb");
    ASSERT_NE(in, nullptr);
    EXPECT_EQ(readAll(in), "data");
    std::fclose(in);
}

using FileStreamRefusalTest = FileStreamTest;

TEST_F(FileStreamRefusalTest, FolderIsRefusedInEveryMode) {
    ASSERT_EQ(symlink(folder_.c_str(), path("folder-link").c_str()), 0);
    for (const char* mode : {"r", "rb", "w", "a"}) {
        SCOPED_TRACE(mode);
        errno = 0;
        EXPECT_EQ(openFileStream(folder_.c_str(), mode), nullptr);
        EXPECT_EQ(errno, EISDIR);
        EXPECT_EQ(openFileStream(path("folder-link").c_str(), mode), nullptr);
    }
}

TEST_F(FileStreamRefusalTest, FifoWithoutPeerFailsWithoutBlocking) {
    const std::string fifo = path("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    HangGuard guard;
    for (const char* mode : {"r", "rb", "w", "wb", "a"}) {
        SCOPED_TRACE(mode);
        errno = 0;
        EXPECT_EQ(openFileStream(fifo.c_str(), mode), nullptr);
        EXPECT_EQ(errno, ENXIO);
    }
}

TEST_F(FileStreamRefusalTest, FifoWithPeerIsRefusedToo) {
    const std::string fifo = path("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    HangGuard guard;
    const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    const int writer = open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
    ASSERT_GE(writer, 0);
    for (const char* mode : {"r", "rb", "w"}) {
        SCOPED_TRACE(mode);
        errno = 0;
        EXPECT_EQ(openFileStream(fifo.c_str(), mode), nullptr);
        EXPECT_EQ(errno, ENXIO);
    }
    close(writer);
    close(reader);
}

TEST_F(FileStreamRefusalTest, DevicesAndSocketsAreRefused) {
    HangGuard guard;
    for (const char* mode : {"r", "rb", "w"}) {
        SCOPED_TRACE(mode);
        EXPECT_EQ(openFileStream("/dev/null", mode), nullptr);
        EXPECT_EQ(openFileStream("/dev/zero", mode), nullptr);
    }
    const int server = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(server, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string name = path("socket");
    ASSERT_LT(name.size(), sizeof address.sun_path);
    name.copy(address.sun_path, name.size());
    ASSERT_EQ(bind(server, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    EXPECT_EQ(openFileStream(name.c_str(), "rb"), nullptr);
    EXPECT_EQ(openFileStream(name.c_str(), "w"), nullptr);
    close(server);
}

enum class Special { Fifo, Device, Folder };

struct SpecialCase {
    const char* name;
    Special kind;
    int error;
};

// Names the case, rather than its bytes, in the test's listing.
void PrintTo(const SpecialCase& c, std::ostream* out) {
    *out << c.name;
}

class FileStreamUnopenedTest : public FileStreamTest,
                               public testing::WithParamInterface<SpecialCase> {};

// An open has effects of its own: it wakes a writer waiting on a FIFO (which then dies of
// SIGPIPE when the FIFO is closed again) and acts on a device. So a file that is not regular is
// refused by its type, also through a link, and an inotify watch on it sees no open at all.
TEST_P(FileStreamUnopenedTest, IsRefusedByItsTypeWithoutBeingOpened) {
    const SpecialCase& c = GetParam();
    const std::string special = path("special");
    switch (c.kind) {
    case Special::Fifo:
        ASSERT_EQ(mkfifo(special.c_str(), 0600), 0);
        break;
    case Special::Device:
        if (mknod(special.c_str(), S_IFCHR | 0600, makedev(1, 3)) != 0) {
            GTEST_SKIP() << "may not make a device node here: " << std::strerror(errno);
        }
        break;
    case Special::Folder:
        ASSERT_EQ(mkdir(special.c_str(), 0700), 0);
        break;
    }
    ASSERT_EQ(symlink(special.c_str(), path("link").c_str()), 0);
    const int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    ASSERT_GE(inotify_add_watch(watch, special.c_str(), IN_OPEN), 0);

    HangGuard guard;
    for (const std::string& name : {special, path("link")}) {
        for (const char* mode : {"r", "rb", "w", "a"}) {
            SCOPED_TRACE(name + " " + mode);
            errno = 0;
            EXPECT_EQ(openFileStream(name.c_str(), mode), nullptr);
            EXPECT_EQ(errno, c.error);
        }
        errno = 0;
        EXPECT_EQ(openReadDescriptor(name.c_str()), -1);
        EXPECT_EQ(errno, c.error);
    }
    char events[4096];
    EXPECT_EQ(read(watch, events, sizeof events), -1) << "the file was opened";
    EXPECT_EQ(errno, EAGAIN);
    close(watch);
}

INSTANTIATE_TEST_SUITE_P(Kinds, FileStreamUnopenedTest,
                         testing::Values(SpecialCase{"Fifo", Special::Fifo, ENXIO},
                                         SpecialCase{"Device", Special::Device, ENXIO},
                                         SpecialCase{"Folder", Special::Folder, EISDIR}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FileStreamRefusalTest, MissingFileAndBadModeFail) {
    errno = 0;
    EXPECT_EQ(openFileStream(path("missing").c_str(), "r"), nullptr);
    EXPECT_EQ(errno, ENOENT);
    EXPECT_EQ(openFileStream("", "rb"), nullptr);
    errno = 0;
    EXPECT_EQ(openFileStream(write("file", "x").c_str(), "q"), nullptr);
    EXPECT_EQ(errno, EINVAL);
}

} // namespace
