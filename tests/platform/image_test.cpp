// Bitmap decoding and the cutting of image strips.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/image.h"

namespace {

void put16(std::vector<std::uint8_t>& v, std::size_t at, unsigned value) {
    v[at] = std::uint8_t(value);
    v[at + 1] = std::uint8_t(value >> 8);
}

void put32(std::vector<std::uint8_t>& v, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        v[at + i] = std::uint8_t(value >> (8 * i));
    }
}

// A 24-bit bottom-up BMP whose pixel (x, y) is pixel(x, y) as 0xRRGGBB.
template <typename F> std::vector<std::uint8_t> bmp24(int width, int height, F pixel) {
    const std::size_t stride = (std::size_t(width) * 3 + 3) / 4 * 4;
    std::vector<std::uint8_t> v(54 + stride * height, 0);
    v[0] = 'B';
    v[1] = 'M';
    put32(v, 2, std::uint32_t(v.size()));
    put32(v, 10, 54);
    put32(v, 14, 40);
    put32(v, 18, std::uint32_t(width));
    put32(v, 22, std::uint32_t(height));
    put16(v, 26, 1);
    put16(v, 28, 24);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = v.data() + 54 + stride * std::size_t(height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const std::uint32_t c = pixel(x, y);
            row[x * 3] = std::uint8_t(c);
            row[x * 3 + 1] = std::uint8_t(c >> 8);
            row[x * 3 + 2] = std::uint8_t(c >> 16);
        }
    }
    return v;
}

} // namespace

TEST(BmpDecoding, BottomUpRowsArriveTopFirst) {
    const auto file = bmp24(3, 2, [](int x, int y) { return std::uint32_t(y * 16 + x); });
    Image image;
    ASSERT_TRUE(decodeBmp(file.data(), file.size(), image));
    EXPECT_EQ(image.width, 3);
    EXPECT_EQ(image.height, 2);
    EXPECT_EQ(image.at(0, 0), 0xFF000000u);
    EXPECT_EQ(image.at(2, 1), 0xFF000012u);
}

TEST(BmpDecoding, FourBitPaletteImages) {
    // 2 × 1 pixels, palette entries 0 = red, 1 = blue; pixel nibbles 1 then 0.
    std::vector<std::uint8_t> v(54 + 16 * 4 + 4, 0);
    v[0] = 'B';
    v[1] = 'M';
    put32(v, 10, 54 + 64);
    put32(v, 14, 40);
    put32(v, 18, 2);
    put32(v, 22, 1);
    put16(v, 26, 1);
    put16(v, 28, 4);
    put32(v, 46, 16);
    v[54 + 2] = 0xFF;  // entry 0: blue 0, green 0, red 255
    v[54 + 4] = 0xFF;  // entry 1: blue 255
    v[54 + 64] = 0x10; // first pixel index 1, second index 0
    Image image;
    ASSERT_TRUE(decodeBmp(v.data(), v.size(), image));
    EXPECT_EQ(image.at(0, 0), 0xFF0000FFu);
    EXPECT_EQ(image.at(1, 0), 0xFFFF0000u);
}

TEST(BmpDecoding, DamagedFilesAreRefused) {
    auto file = bmp24(4, 4, [](int, int) { return 0u; });
    Image image;
    EXPECT_FALSE(decodeBmp(file.data(), 10, image));
    EXPECT_FALSE(decodeBmp(file.data(), file.size() - 1, image)) << "pixels cut short";
    file[0] = 'X';
    EXPECT_FALSE(decodeBmp(file.data(), file.size(), image));
    EXPECT_FALSE(decodeBmp(nullptr, 0, image));
}

TEST(ImageStrips, CutIntoEqualImagesWithTheMaskTransparent) {
    // 48 × 16: magenta background, one red pixel at the centre of each third.
    const auto file =
        bmp24(48, 16, [](int x, int y) { return (y == 8 && x % 16 == 8) ? 0xFF0000u : 0xFF00FFu; });
    Image strip;
    ASSERT_TRUE(decodeBmp(file.data(), file.size(), strip));
    ImageList list;
    cutImageStrip(strip, 16, RGB(255, 0, 255), list);
    ASSERT_EQ(list.images.size(), 3u);
    for (const Image& image : list.images) {
        EXPECT_EQ(image.width, 16);
        EXPECT_EQ(image.at(0, 0), 0u) << "magenta becomes transparent";
        EXPECT_EQ(image.at(8, 8), 0xFFFF0000u);
    }
}
