#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/win_types.h"

/// A decoded picture: width × height pixels, rows top to bottom, each 0xAARRGGBB.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    std::uint32_t at(int x, int y) const { return pixels[std::size_t(y) * width + x]; }
};

/// An icon resource: the same picture at several sizes.
struct IconResource {
    std::vector<Image> images;

    /// The image whose width is closest to size (the first of equals).
    const Image* bestFor(int size) const;
};

/// Images cut from a strip, all of one width; the mask colour has become transparent.
class ImageList {
public:
    int imageWidth = 0;
    std::vector<Image> images;
};

/// Decodes a Windows BMP file (1, 4, 8, 24 or 32 bits per pixel, uncompressed). False on bad data.
bool decodeBmp(const std::uint8_t* data, std::size_t size, Image& out);

/// Cuts strip into images of width cx; pixels of colour mask (a COLORREF) become transparent.
void cutImageStrip(const Image& strip, int cx, COLORREF mask, ImageList& out);
