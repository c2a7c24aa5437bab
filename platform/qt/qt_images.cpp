#include "platform/qt/qt_images.h"

#include <cstring>

QImage QtImages::toQImage(const Image& image) {
    if (image.width <= 0 || image.height <= 0 ||
        image.pixels.size() < std::size_t(image.width) * std::size_t(image.height)) {
        return QImage();
    }
    // Image pixels are 0xAARRGGBB words, which is QImage's ARGB32 layout in native byte order.
    QImage picture(image.width, image.height, QImage::Format_ARGB32);
    if (picture.isNull()) {
        return picture;
    }
    const std::size_t rowBytes = std::size_t(image.width) * sizeof(std::uint32_t);
    for (int y = 0; y < image.height; ++y) {
        std::memcpy(picture.scanLine(y), &image.pixels[std::size_t(y) * image.width], rowBytes);
    }
    return picture;
}

QPixmap QtImages::toPixmap(const Image& image) {
    return QPixmap::fromImage(toQImage(image));
}

QIcon QtImages::toIcon(const IconResource* big, const IconResource* small) {
    QIcon icon;
    for (const IconResource* resource : {big, small}) {
        if (resource == nullptr) {
            continue;
        }
        for (const Image& image : resource->images) {
            const QPixmap pixmap = toPixmap(image);
            if (!pixmap.isNull()) {
                icon.addPixmap(pixmap);
            }
        }
    }
    return icon;
}
