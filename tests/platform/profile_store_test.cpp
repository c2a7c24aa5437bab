#include "platform/profile_store.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/support/scratch_folder.h"

namespace {

// A fresh folder per test with the profile's path in it.
class ProfileStoreTest : public testing::Test {
protected:
    void writeText(const std::string& text) const { scratch_.write("app.INI", text); }
    std::string readText(const std::string& path) const {
        std::string text;
        std::FILE* file = std::fopen(path.c_str(), "rb");
        if (file == nullptr) {
            return "<missing>";
        }
        for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) {
            text += char(c);
        }
        std::fclose(file);
        return text;
    }
    std::string readText() const { return readText(path_); }
    int entriesInFolder() const {
        int count = 0;
        DIR* dir = opendir(folder_.c_str());
        while (const dirent* entry = readdir(dir)) {
            count += std::string(entry->d_name) != "." && std::string(entry->d_name) != "..";
        }
        closedir(dir);
        return count;
    }

    ScratchFolder scratch_;
    const std::string folder_ = scratch_.path().string();
    const std::string path_ = scratch_ / "app.INI";
};

TEST_F(ProfileStoreTest, MissingFileSectionOrKeyGivesFallback) {
    ProfileStore store(path_);
    EXPECT_EQ(store.getInt("Window", "PosX", 17), 17);
    EXPECT_EQ(readText(), "<missing>"); // reading creates nothing
    writeText("[Other]\nPosX=3\n[Window]\nPosY=4\n");
    EXPECT_EQ(store.getInt("Missing", "PosX", -9), -9);
    EXPECT_EQ(store.getInt("Window", "PosX", -9), -9);
    EXPECT_EQ(store.getInt("Window", "PosY", -9), 4);
}

TEST_F(ProfileStoreTest, WriteCreatesFileAndNewStoreReadsIt) {
    ASSERT_TRUE(ProfileStore(path_).writeInt("Window", "PosX", 120));
    ASSERT_TRUE(ProfileStore(path_).writeInt("Window", "PosY", -35));
    EXPECT_EQ(readText(), "[Window]\nPosX=120\nPosY=-35\n");
    ProfileStore reader(path_);
    EXPECT_EQ(reader.getInt("Window", "PosX", 0), 120);
    EXPECT_EQ(reader.getInt("Window", "PosY", 0), -35);
}

TEST_F(ProfileStoreTest, ExtremeValuesRoundTrip) {
    ProfileStore store(path_);
    ASSERT_TRUE(store.writeInt("S", "min", INT_MIN));
    ASSERT_TRUE(store.writeInt("S", "max", INT_MAX));
    ASSERT_TRUE(store.writeInt("S", "zero", 0));
    EXPECT_EQ(store.getInt("S", "min", 1), INT_MIN);
    EXPECT_EQ(store.getInt("S", "max", 1), INT_MAX);
    EXPECT_EQ(store.getInt("S", "zero", 1), 0);
}

TEST_F(ProfileStoreTest, NamesMatchWithoutRegardToCaseOrBlanks) {
    writeText("[ Main Window ]\n  posx = 42 \n");
    ProfileStore store(path_);
    EXPECT_EQ(store.getInt("MAIN WINDOW", "PosX", 0), 42);
    ASSERT_TRUE(store.writeInt("main window", "POSX", 7));
    // The key keeps its spelling in the file; only the value changes.
    EXPECT_EQ(readText(), "[ Main Window ]\n  posx =7\n");
}

TEST_F(ProfileStoreTest, WritingKeepsEveryOtherLineByteForByte) {
    const std::string before = "; settings\n"
                               "[First]\n"
                               "Name=some text\n"
                               "PosX=1\n"
                               "\n"
                               "[Second]\n"
                               "Other=2\n";
    writeText(before);
    ProfileStore store(path_);
    ASSERT_TRUE(store.writeInt("First", "PosX", 99));
    ASSERT_TRUE(store.writeInt("First", "SizeX", 300)); // new key: at the end of its section
    ASSERT_TRUE(store.writeInt("Third", "A", 5));       // new section: at the end of the file
    EXPECT_EQ(readText(), "; settings\n"
                          "[First]\n"
                          "Name=some text\n"
                          "PosX=99\n"
                          "SizeX=300\n"
                          "\n"
                          "[Second]\n"
                          "Other=2\n"
                          "\n"
                          "[Third]\n"
                          "A=5\n");
    EXPECT_EQ(store.getInt("Second", "Other", 0), 2);
}

TEST_F(ProfileStoreTest, WindowsLineEndsAndAMissingLastLineEnd) {
    writeText("[A]\r\nx=1\r\n[B]\r\ny=2");
    ProfileStore store(path_);
    EXPECT_EQ(store.getInt("A", "x", 0), 1);
    ASSERT_TRUE(store.writeInt("B", "z", 3));
    ASSERT_TRUE(store.writeInt("A", "x", 4));
    EXPECT_EQ(readText(), "[A]\r\nx=4\r\n[B]\r\ny=2\r\nz=3\r\n");
}

TEST_F(ProfileStoreTest, CommentsAreNotKeys) {
    writeText("[A]\n;x=1\n#x=2\n");
    ProfileStore store(path_);
    EXPECT_EQ(store.getInt("A", "x", 7), 7);
    EXPECT_EQ(store.getInt("A", ";x", 7), 7); // such a key could never be written back
}

TEST_F(ProfileStoreTest, RepeatedSectionsAreSearchedInOrder) {
    writeText("[A]\nx=1\n[B]\nx=2\n[a]\ny=3\nx=4\n");
    ProfileStore store(path_);
    EXPECT_EQ(store.getInt("A", "x", 0), 1);
    EXPECT_EQ(store.getInt("A", "y", 0), 3);
    ASSERT_TRUE(store.writeInt("A", "y", 30));
    ASSERT_TRUE(store.writeInt("A", "z", 50)); // goes to the first section of that name
    EXPECT_EQ(readText(), "[A]\nx=1\nz=50\n[B]\nx=2\n[a]\ny=30\nx=4\n");
}

// Values read as blanks, a sign and the leading decimal digits, wrapping beyond 32 bits.
TEST_F(ProfileStoreTest, ValuesParseAsLeadingSignedDecimal) {
    writeText("[V]\n"
              "plus=+17\n"
              "minus=-17\n"
              "trailing=42A94967297\n"
              "letters=B42\n"
              "sign=-\n"
              "empty=\n"
              "blank=   \n"
              "wrap=4294967297\n"
              "wrapneg=-4294967297\n"
              "hex=0x10\n");
    ProfileStore store(path_);
    EXPECT_EQ(store.getInt("V", "plus", 9), 17);
    EXPECT_EQ(store.getInt("V", "minus", 9), -17);
    EXPECT_EQ(store.getInt("V", "trailing", 9), 42);
    EXPECT_EQ(store.getInt("V", "letters", 9), 0);
    EXPECT_EQ(store.getInt("V", "sign", 9), 0);
    EXPECT_EQ(store.getInt("V", "empty", 9), 9);
    EXPECT_EQ(store.getInt("V", "blank", 9), 9);
    EXPECT_EQ(store.getInt("V", "wrap", 9), 1);
    EXPECT_EQ(store.getInt("V", "wrapneg", 9), -1);
    EXPECT_EQ(store.getInt("V", "hex", 9), 0);
}

TEST_F(ProfileStoreTest, NamesThatWouldBreakTheFileAreRefused) {
    ProfileStore store(path_);
    EXPECT_FALSE(store.writeInt("A]B", "k", 1));
    EXPECT_FALSE(store.writeInt("A\nB", "k", 1));
    EXPECT_FALSE(store.writeInt("A", "k=v", 1));
    EXPECT_FALSE(store.writeInt("A", "k\n[B]", 1));
    EXPECT_FALSE(store.writeInt("A", "[k]", 1));
    EXPECT_FALSE(store.writeInt("A", "", 1));
    EXPECT_FALSE(store.writeInt("", "k", 1));
    EXPECT_FALSE(store.writeInt(nullptr, "k", 1));
    EXPECT_FALSE(store.writeInt("A", nullptr, 1));
    EXPECT_EQ(readText(), "<missing>");
    EXPECT_EQ(store.getInt(nullptr, "k", 5), 5);
    EXPECT_EQ(store.getInt("A", nullptr, 5), 5);
}

TEST_F(ProfileStoreTest, MissingFoldersAreCreated) {
    const std::string deep = folder_ + "/a/b/c/app.INI";
    ASSERT_TRUE(ProfileStore(deep).writeInt("S", "k", 8));
    EXPECT_EQ(ProfileStore(deep).getInt("S", "k", 0), 8);
    struct stat info {};
    ASSERT_EQ(stat((folder_ + "/a/b").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
}

TEST_F(ProfileStoreTest, WriteLeavesNoTemporaryFileAndKeepsTheMode) {
    writeText("[S]\nk=1\n");
    ASSERT_EQ(chmod(path_.c_str(), 0640), 0);
    ASSERT_TRUE(ProfileStore(path_).writeInt("S", "k", 2));
    EXPECT_EQ(entriesInFolder(), 1);
    struct stat info {};
    ASSERT_EQ(stat(path_.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
}

TEST_F(ProfileStoreTest, WriteThroughALinkReplacesTheLinkedFile) {
    const std::string target = folder_ + "/real.INI";
    const std::string link = folder_ + "/link.INI";
    ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
    ASSERT_TRUE(ProfileStore(link).writeInt("S", "k", 3));
    struct stat info {};
    ASSERT_EQ(lstat(link.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_EQ(readText(target), "[S]\nk=3\n");
}

TEST_F(ProfileStoreTest, FailedWriteReportsFalse) {
    // The profile's folder cannot exist: a plain file stands in its way.
    writeText("[S]\nk=1\n");
    EXPECT_FALSE(ProfileStore(path_ + "/inner.INI").writeInt("S", "k", 2));
    // An unreadable profile (here a folder) is neither read nor replaced.
    const std::string folderProfile = folder_ + "/folder.INI";
    ASSERT_EQ(mkdir(folderProfile.c_str(), 0700), 0);
    EXPECT_FALSE(ProfileStore(folderProfile).writeInt("S", "k", 2));
    EXPECT_EQ(ProfileStore(folderProfile).getInt("S", "k", 6), 6);
    EXPECT_EQ(readText(), "[S]\nk=1\n");
}

// Restores an environment variable when it goes out of scope.
class EnvironmentGuard {
public:
    explicit EnvironmentGuard(const char* name) : name_(name) {
        const char* value = std::getenv(name);
        had_ = value != nullptr;
        old_ = had_ ? value : "";
    }
    ~EnvironmentGuard() {
        if (had_) {
            setenv(name_, old_.c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }

private:
    const char* name_;
    bool had_ = false;
    std::string old_;
};

TEST(ProfileStorePath, FollowsXdgConfigHomeWhenAbsolute) {
    EnvironmentGuard config("XDG_CONFIG_HOME");
    EnvironmentGuard home("HOME");
    setenv("HOME", "/home/someone", 1);
    setenv("XDG_CONFIG_HOME", "/srv/config/", 1);
    EXPECT_EQ(ProfileStore::pathFor("digestor"), "/srv/config/digestor.INI");
    setenv("XDG_CONFIG_HOME", "relative/config", 1);
    EXPECT_EQ(ProfileStore::pathFor("digestor"), "/home/someone/.config/digestor.INI");
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(ProfileStore::pathFor("digestor"), "/home/someone/.config/digestor.INI");
}

} // namespace
