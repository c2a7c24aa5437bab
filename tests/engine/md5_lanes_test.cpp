#include "engine/md5_lanes.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "engine/md5_blocks.h"

namespace {

class Md5LanesTest : public testing::TestWithParam<Md5LanePath> {
protected:
    void SetUp() override {
        if (!md5LanePathAvailable(GetParam())) {
            GTEST_SKIP() << "this CPU cannot run the path";
        }
    }
};

// Every lane against the one-message compression: different chaining values and messages per
// lane, each message at a different misalignment, runs of one and of several blocks.
TEST_P(Md5LanesTest, EachLaneMatchesTheSingleStreamCompression) {
    const Md5LaneFunction lanes = md5LaneFunction(GetParam());
    ASSERT_NE(lanes, nullptr);
    const int width = md5LaneWidth(GetParam());
    ASSERT_LE(width, MD5_MAX_LANES);
    std::mt19937 random(1321);
    for (std::size_t blocks : {1u, 2u, 7u}) {
        std::vector<std::uint8_t> input(MD5_MAX_LANES * (blocks * 64 + 3));
        for (auto& byte : input) {
            byte = static_cast<std::uint8_t>(random());
        }
        Md5LaneState state;
        std::uint32_t expected[MD5_MAX_LANES][4];
        const std::uint8_t* data[MD5_MAX_LANES];
        for (int i = 0; i < width; ++i) {
            data[i] = input.data() + i * (blocks * 64 + 3) + i % 4;
            for (int w = 0; w < 4; ++w) {
                expected[i][w] = state.words[w][i] = static_cast<std::uint32_t>(random());
            }
            md5BlocksPortable(expected[i], data[i], blocks);
        }
        lanes(state, data, blocks);
        for (int i = 0; i < width; ++i) {
            for (int w = 0; w < 4; ++w) {
                EXPECT_EQ(state.words[w][i], expected[i][w])
                    << "lane " << i << " word " << w << ", " << blocks << " blocks";
            }
        }
    }
}

std::string lanePathName(const testing::TestParamInfo<Md5LanePath>& info) {
    switch (info.param) {
    case Md5LanePath::Portable:
        return "Portable";
    case Md5LanePath::Avx2:
        return "Avx2";
    case Md5LanePath::Avx512:
        return "Avx512";
    }
    return "Unknown";
}

INSTANTIATE_TEST_SUITE_P(Paths, Md5LanesTest,
                         testing::Values(Md5LanePath::Portable, Md5LanePath::Avx2,
                                         Md5LanePath::Avx512),
                         lanePathName);

} // namespace
