#include "os/folder_walk.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "tests/support/scratch_folder.h"

namespace {

// What the walk found, one "kind relative" line an entry ("F" a file with its size).
std::vector<std::string> walk(const std::string& folder) {
    FolderWalk walker(folder);
    std::vector<std::string> found;
    WalkEntry entry;
    while (walker.next(entry)) {
        const char* kinds[] = {"F", "unreadable", "special", "link to folder", "broken"};
        std::string line = kinds[static_cast<int>(entry.kind)];
        line += ' ';
        line += entry.relative;
        if (entry.kind == WalkEntry::Kind::File) {
            line += ' ';
            line += std::to_string(entry.size);
        }
        found.push_back(line);
    }
    return found;
}

// The regular files and links to them that find lists, NUL-separated and sorted byte-wise.
std::vector<std::string> findFiles(const std::string& parent, const std::string& name) {
    const std::string command = "cd '" + parent + "' && find '" + name +
                                "' \\( -type f -o -type l -xtype f \\) -print0 | LC_ALL=C sort -z";
    std::FILE* out = popen(command.c_str(), "r");
    std::vector<std::string> files(1);
    int c;
    while ((c = std::fgetc(out)) != EOF) {
        if (c == '\0') {
            files.emplace_back();
        } else {
            files.back() += static_cast<char>(c);
        }
    }
    pclose(out);
    files.pop_back();
    return files;
}

// Names that sort differently entry by entry and path by path ("a.txt" before "a/x"), hidden
// files, a line feed in a name, links to a file, to a folder above (a loop) and to nothing, and
// a FIFO: the files come in find's order with find's names, the rest passed over and named.
TEST(FolderWalkTest, FilesInTheOrderFindGivesAndEverythingElseNamed) {
    ScratchFolder scratch;
    const std::string root = scratch / "photos";
    for (const char* name : {"a/x", "a.txt", "a-b", ".hidden", "b/c/d", "line\nfeed", "Z"}) {
        scratch.write(std::string("photos/") + name, name);
    }
    ASSERT_EQ(symlink("../a.txt", (root + "/b/to-file").c_str()), 0);
    ASSERT_EQ(symlink("..", (root + "/b/loop").c_str()), 0);
    ASSERT_EQ(symlink("nowhere", (root + "/b/broken").c_str()), 0);
    ASSERT_EQ(mkfifo((root + "/fifo").c_str(), 0600), 0);

    const std::vector<std::string> found = walk(root + "/");
    std::vector<std::string> files;
    std::vector<std::string> others;
    for (const std::string& line : found) {
        if (line[0] == 'F') {
            files.push_back(line.substr(2, line.rfind(' ') - 2));
        } else {
            others.push_back(line);
        }
    }
    EXPECT_EQ(files, findFiles(scratch.path().string(), "photos"));
    EXPECT_EQ(files.size(), 8u);
    EXPECT_EQ(others,
              (std::vector<std::string>{"broken photos/b/broken", "link to folder photos/b/loop",
                                        "special photos/fifo"}));
    EXPECT_EQ(found[0], "F photos/.hidden 7");
}

// A folder that cannot be read (here: gone once the walk has seen it) is an entry of its own, in
// its place, and the walk goes on.
TEST(FolderWalkTest, AFolderThatCannotBeReadIsAnEntryOfItsOwn) {
    ScratchFolder scratch;
    scratch.write("top/a", "a");
    std::filesystem::create_directories(scratch.path() / "top/closed");
    scratch.write("top/z", "z");
    FolderWalk walker(scratch / "top");
    WalkEntry entry;
    ASSERT_TRUE(walker.next(entry));
    EXPECT_EQ(entry.relative, "top/a");
    ASSERT_EQ(rmdir((scratch / "top/closed").c_str()), 0);
    ASSERT_TRUE(walker.next(entry));
    EXPECT_EQ(entry.kind, WalkEntry::Kind::UnreadableFolder);
    EXPECT_EQ(entry.relative, "top/closed");
    ASSERT_TRUE(walker.next(entry));
    EXPECT_EQ(entry.relative, "top/z");
    EXPECT_FALSE(walker.next(entry));
    EXPECT_EQ(walk(scratch / "missing"), std::vector<std::string>{"unreadable missing"});
}

// A large folder is read in steps that let the caller in, and can be stopped there.
TEST(FolderWalkTest, ReadingAFolderIsPacedAndStoppable) {
    ScratchFolder scratch;
    for (int i = 0; i < 3 * FolderWalk::PACE; ++i) {
        scratch.write("many/" + std::to_string(i), "");
    }
    FolderWalk walker(scratch / "many");
    int paces = 0;
    WalkEntry entry;
    EXPECT_FALSE(walker.next(entry, [&] { return ++paces < 2; }));
    EXPECT_TRUE(walker.stopped());
    EXPECT_EQ(paces, 2);
    EXPECT_FALSE(walker.next(entry));
}

} // namespace
