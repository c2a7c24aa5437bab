// Safe replacement of a file: the bytes land whole or not at all, links are followed, permission
// bits stay, and a failure at any step leaves the old file and no stray file behind.

#include "os/file_replace.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/support/scratch_folder.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* OLD = "0123456789abcdef0123456789abcdef *old\r\n";
constexpr const char* NEW = "900150983cd24fb0d6963f7d28e17f72 *a\r\nd41d8cd9 *b\r\n";

class FileReplaceTest : public testing::Test {
protected:
    std::string write(const std::string& name, const std::string& bytes, mode_t mode) {
        const fs::path path = folder / name;
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << bytes;
        ::chmod(path.c_str(), mode);
        return path.string();
    }
    std::string read(const std::string& name) const {
        std::ostringstream all;
        all << std::ifstream(folder / name, std::ios::binary).rdbuf();
        return all.str();
    }
    mode_t permissions(const std::string& name) const {
        struct stat info = {};
        EXPECT_EQ(::lstat((folder / name).c_str(), &info), 0) << name;
        return info.st_mode & 07777;
    }
    /// Every name in the folder tree: no stray file may be among them.
    std::set<std::string> names() const {
        std::set<std::string> found;
        for (const auto& entry : fs::recursive_directory_iterator(folder)) {
            found.insert(entry.path().lexically_relative(folder).string());
        }
        return found;
    }
    int replace(const std::string& name, const char* bytes) {
        return replaceFileContents((folder / name).c_str(), bytes);
    }

    ScratchFolder scratch;
    fs::path folder = scratch.path();
};

} // namespace

TEST_F(FileReplaceTest, ANewFileTakesTheOldOnesPlaceAndPermissionBits) {
    const std::string target = write("sums.md5", OLD, 0604);
    struct stat before = {};
    struct stat after = {};
    ASSERT_EQ(::stat(target.c_str(), &before), 0);
    EXPECT_EQ(replace("sums.md5", NEW), 0);
    EXPECT_EQ(read("sums.md5"), NEW);
    EXPECT_EQ(permissions("sums.md5"), 0604u);
    ASSERT_EQ(::stat(target.c_str(), &after), 0);
    EXPECT_NE(after.st_ino, before.st_ino) << "renamed into place, not rewritten";

    // A file that did not exist gets what a plain create gives.
    const mode_t saved = ::umask(027);
    EXPECT_EQ(replace("new.md5", ""), 0);
    ::umask(saved);
    EXPECT_EQ(permissions("new.md5"), 0640u);
    EXPECT_EQ(names(), (std::set<std::string>{"sums.md5", "new.md5"}));
}

// Root saving over another user's file leaves it theirs, with every permission bit: the owner
// is set before the bits, which a change of owner would clear in part.
TEST_F(FileReplaceTest, AsRootTheOwnerAndGroupStay) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "only root may give a file to another user";
    }
    const std::string target = write("theirs.md5", OLD, 0640);
    ASSERT_EQ(::chown(target.c_str(), 65534, 65534), 0);
    ASSERT_EQ(::chmod(target.c_str(), 06750), 0);
    EXPECT_EQ(replace("theirs.md5", NEW), 0);
    EXPECT_EQ(read("theirs.md5"), NEW);
    struct stat info = {};
    ASSERT_EQ(::stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, 65534u);
    EXPECT_EQ(info.st_gid, 65534u);
    EXPECT_EQ(info.st_mode & 07777, 06750u);
}

TEST_F(FileReplaceTest, LinksLeadToTheFileReplacedAndStay) {
    write("real/sums.md5", OLD, 0600);
    fs::create_symlink("real/sums.md5", folder / "relative");    // relative to its folder
    fs::create_symlink(folder / "relative", folder / "chained"); // absolute, to another link
    fs::create_symlink("real/new.md5", folder / "dangling");
    EXPECT_EQ(replace("chained", NEW), 0);
    EXPECT_EQ(replace("dangling", OLD), 0);
    EXPECT_EQ(read("real/sums.md5"), NEW);
    EXPECT_EQ(permissions("real/sums.md5"), 0600u);
    EXPECT_EQ(read("real/new.md5"), OLD);
    EXPECT_TRUE(fs::is_symlink(folder / "chained") && fs::is_symlink(folder / "dangling"));
    EXPECT_EQ(names().size(), 6u) << "nothing else";
}

TEST_F(FileReplaceTest, AFolderOrAPipeIsRefusedAndNotOpened) {
    fs::create_directory(folder / "folder");
    ASSERT_EQ(::mkfifo((folder / "pipe").c_str(), 0600), 0);
    EXPECT_EQ(replace("folder", NEW), EISDIR);
    EXPECT_EQ(replace("pipe", NEW), ENXIO) << "a pipe opened for writing would wait for a reader";
    EXPECT_EQ(names(), (std::set<std::string>{"folder", "pipe"}));
}

namespace {

enum class Step { Access, Create, Write, Owner, Permissions, Flush, Close, Rename };

struct Failure {
    const char* name;
    Step step;
    int error;
};

// The system's calls, but the chosen step fails with the chosen error; a write fails only after
// a few bytes went through, as on a disk that fills up.
class FailingCalls : public FileCalls {
public:
    explicit FailingCalls(const Failure& failure) : m_failure(failure) {}

    int access(const char* path, int mode) override {
        return fails(Step::Access) ? -1 : FileCalls::access(path, mode);
    }
    int open(const char* path, int flags, mode_t mode) override {
        return (flags & O_CREAT) && fails(Step::Create) ? -1 : FileCalls::open(path, flags, mode);
    }
    ssize_t write(int fd, const void* data, std::size_t size) override {
        const bool limited = m_failure.step == Step::Write;
        const ssize_t written =
            fails(Step::Write)
                ? -1
                : FileCalls::write(fd, data, limited ? std::min(size, m_left) : size);
        m_left -= limited && written > 0 ? std::size_t(written) : 0;
        return written;
    }
    int fchown(int fd, uid_t owner, gid_t group) override {
        return fails(Step::Owner) ? -1 : FileCalls::fchown(fd, owner, group);
    }
    int fchmod(int fd, mode_t mode) override {
        return fails(Step::Permissions) ? -1 : FileCalls::fchmod(fd, mode);
    }
    int fsync(int fd) override { return fails(Step::Flush) ? -1 : FileCalls::fsync(fd); }
    int close(int fd) override { return FileCalls::close(fd) != 0 || fails(Step::Close) ? -1 : 0; }
    int rename(const char* from, const char* to) override {
        return fails(Step::Rename) ? -1 : FileCalls::rename(from, to);
    }

private:
    bool fails(Step step) {
        const bool failing = step == m_failure.step && (step != Step::Write || m_left == 0);
        errno = failing ? m_failure.error : errno;
        return failing;
    }

    Failure m_failure;
    std::size_t m_left = 7;
};

class FileReplaceFailureTest : public FileReplaceTest,
                               public testing::WithParamInterface<Failure> {};

} // namespace

TEST_P(FileReplaceFailureTest, LeavesTheOldFileByteForByteAndNoStrayFile) {
    if (GetParam().step == Step::Owner && ::geteuid() != 0) {
        GTEST_SKIP() << "the owner is set only by root";
    }
    const std::string target = write("sums.md5", OLD, 0640);
    FailingCalls calls(GetParam());
    EXPECT_EQ(replaceFileContents(target.c_str(), NEW, calls), GetParam().error);
    EXPECT_EQ(read("sums.md5"), OLD);
    EXPECT_EQ(permissions("sums.md5"), 0640u);
    EXPECT_EQ(names(), (std::set<std::string>{"sums.md5"}));
}

INSTANTIATE_TEST_SUITE_P(Steps, FileReplaceFailureTest,
                         testing::Values(Failure{"NotWritable", Step::Access, EACCES},
                                         Failure{"Create", Step::Create, EDQUOT},
                                         Failure{"WritePartWay", Step::Write, ENOSPC},
                                         Failure{"Owner", Step::Owner, EPERM},
                                         Failure{"Permissions", Step::Permissions, EPERM},
                                         Failure{"Flush", Step::Flush, EIO},
                                         Failure{"Close", Step::Close, EIO},
                                         Failure{"Rename", Step::Rename, EBUSY}),
                         [](const auto& info) { return std::string(info.param.name); });
