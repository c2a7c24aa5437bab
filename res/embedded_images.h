#pragma once

#include <cstddef>

// The program's pictures, compiled in from the BMP files next to this header.
namespace res {

/// The bytes of a file compiled into the program; they stay valid for the program's lifetime.
struct EmbeddedFile {
    const unsigned char* data;
    std::size_t size;
};

/// Bitmap 130: three 16 x 16 status images (failed, ok, unreadable) on magenta, 4 bits per pixel.
EmbeddedFile statusImagesBmp();
/// Bitmap 133: the About box banner, 300 x 58 pixels, 24 bits per pixel.
EmbeddedFile aboutLogoBmp();
/// Icon 128 at 32 x 32 pixels, 16 colours, magenta meaning transparent.
EmbeddedFile appIcon32Bmp();
/// Icon 128 at 16 x 16 pixels, 16 colours, magenta meaning transparent.
EmbeddedFile appIcon16Bmp();
/// The size grip, 16 x 16 pixels, 16 colours, on the dialog face colour (192, 192, 192).
EmbeddedFile sizeGripBmp();

} // namespace res
