#include "platform/image.h"

#include <cstdlib>

namespace {

std::uint32_t le32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}

std::uint16_t le16(const std::uint8_t* p) {
    return std::uint16_t(p[0] | (p[1] << 8));
}

std::uint32_t opaque(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return 0xFF000000u | (std::uint32_t(r) << 16) | (std::uint32_t(g) << 8) | b;
}

} // namespace

const Image* IconResource::bestFor(int size) const {
    const Image* best = nullptr;
    for (const Image& image : images) {
        if (!best || std::abs(image.width - size) < std::abs(best->width - size)) {
            best = &image;
        }
    }
    return best;
}

bool decodeBmp(const std::uint8_t* data, std::size_t size, Image& out) {
    // File header (14 bytes) and at least a BITMAPINFOHEADER (40 bytes).
    if (!data || size < 54 || data[0] != 'B' || data[1] != 'M') {
        return false;
    }
    const std::uint32_t pixelOffset = le32(data + 10);
    const std::uint32_t headerSize = le32(data + 14);
    if (headerSize < 40 || 14 + std::size_t(headerSize) > size) {
        return false;
    }
    const std::int32_t width = std::int32_t(le32(data + 18));
    const std::int32_t rawHeight = std::int32_t(le32(data + 22));
    const int bpp = le16(data + 28);
    const std::uint32_t compression = le32(data + 30);
    std::uint32_t paletteCount = le32(data + 46);
    if (width <= 0 || width > 16384 || rawHeight == 0 || rawHeight < -16384 || rawHeight > 16384) {
        return false;
    }
    // Uncompressed only; BI_BITFIELDS (3) is accepted for 32 bits with the usual masks.
    if (compression != 0 && !(compression == 3 && bpp == 32)) {
        return false;
    }
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32) {
        return false;
    }
    const bool bottomUp = rawHeight > 0;
    const int height = bottomUp ? rawHeight : -rawHeight;

    const std::uint8_t* palette = data + 14 + headerSize;
    if (bpp <= 8) {
        if (paletteCount == 0 || paletteCount > (1u << bpp)) {
            paletteCount = 1u << bpp;
        }
        if (std::size_t(palette - data) + std::size_t(paletteCount) * 4 > size) {
            return false;
        }
    }
    const std::size_t stride = ((std::size_t(width) * bpp + 31) / 32) * 4;
    if (pixelOffset > size || stride * std::size_t(height) > size - pixelOffset) {
        return false;
    }

    out.width = width;
    out.height = height;
    out.pixels.assign(std::size_t(width) * std::size_t(height), 0);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row =
            data + pixelOffset + stride * std::size_t(bottomUp ? height - 1 - y : y);
        for (int x = 0; x < width; ++x) {
            std::uint32_t pixel = 0;
            if (bpp <= 8) {
                const int bit = x * bpp;
                const int shift = 8 - bpp - (bit % 8);
                std::uint32_t index = (row[bit / 8] >> shift) & ((1u << bpp) - 1);
                if (index >= paletteCount) {
                    index = 0;
                }
                const std::uint8_t* c = palette + index * 4; // blue, green, red, reserved
                pixel = opaque(c[2], c[1], c[0]);
            } else if (bpp == 24) {
                const std::uint8_t* c = row + std::size_t(x) * 3;
                pixel = opaque(c[2], c[1], c[0]);
            } else {
                const std::uint8_t* c = row + std::size_t(x) * 4;
                pixel = opaque(c[2], c[1], c[0]);
            }
            out.pixels[std::size_t(y) * width + x] = pixel;
        }
    }
    return true;
}

void cutImageStrip(const Image& strip, int cx, COLORREF mask, ImageList& out) {
    out.imageWidth = cx;
    out.images.clear();
    if (cx <= 0) {
        return;
    }
    // A COLORREF keeps red in the low byte; pixels keep it in bits 16 to 23.
    const std::uint32_t maskRgb =
        ((mask & 0xFFu) << 16) | (mask & 0xFF00u) | ((mask >> 16) & 0xFFu);
    for (int left = 0; left + cx <= strip.width; left += cx) {
        Image image;
        image.width = cx;
        image.height = strip.height;
        image.pixels.resize(std::size_t(cx) * strip.height);
        for (int y = 0; y < strip.height; ++y) {
            for (int x = 0; x < cx; ++x) {
                const std::uint32_t p = strip.at(left + x, y);
                image.pixels[std::size_t(y) * cx + x] = (p & 0xFFFFFFu) == maskRgb ? 0 : p;
            }
        }
        out.images.push_back(std::move(image));
    }
}
