#include <gtest/gtest.h>

#include "engine/path_split.h"

namespace {

struct Split {
    std::string folder;
    std::string name;
};

Split split(const std::string& path) {
    Split s;
    splitDroppedPath(path, s.folder, s.name);
    return s;
}

} // namespace

TEST(PathSplit, OrdinaryPathsSplitAtTheLastSlash) {
    const Split s = split("/home/user/downloads/image.iso");
    EXPECT_EQ(s.folder, "/home/user/downloads");
    EXPECT_EQ(s.name, "image.iso");
    EXPECT_EQ(split("/ab/c").folder, "/ab");
    EXPECT_EQ(split("/a/c").folder, "/a");
    EXPECT_EQ(split("/a/c").name, "c");
}

TEST(PathSplit, AFileDirectlyUnderTheRootKeepsItsWholePath) {
    // The first character is never examined, so the root's slash is not found.
    const Split s = split("/vmlinuz");
    EXPECT_EQ(s.folder, "/vmlinuz");
    EXPECT_EQ(s.name, "/vmlinuz");
}

TEST(PathSplit, ASlashAtPositionOneKeepsTheWholePathAsFolder) {
    const Split s = split("a/name");
    EXPECT_EQ(s.folder, "a/name");
    EXPECT_EQ(s.name, "name");
}

TEST(PathSplit, NoSlashMeansBothAreTheWholePath) {
    EXPECT_EQ(split("plain").folder, "plain");
    EXPECT_EQ(split("plain").name, "plain");
    EXPECT_EQ(split("").name, "");
    EXPECT_EQ(split("/").folder, "/");
}

TEST(PathSplit, ATrailingSlashLeavesAnEmptyName) {
    const Split s = split("/srv/data/");
    EXPECT_EQ(s.folder, "/srv/data");
    EXPECT_EQ(s.name, "");
}

TEST(PathSplit, LongPathsAreNotCut) {
    std::string path = "/base";
    while (path.size() < 5000) {
        path += "/segment";
    }
    path += "/file.bin";
    const Split s = split(path);
    EXPECT_EQ(s.name, "file.bin");
    EXPECT_EQ(s.folder.size(), path.size() - 9);
}
