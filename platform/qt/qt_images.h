#pragma once

#include <QIcon>
#include <QImage>
#include <QPixmap>

#include "platform/image.h"

/// Pictures of the framework (ARGB pixel arrays) as Qt images. Conversions are cheap and done
/// when needed, so nothing here can outlive the resources it was made from.
class QtImages {
public:
    /// image as a QImage; a null QImage when image has no pixels or too few.
    static QImage toQImage(const Image& image);
    static QPixmap toPixmap(const Image& image);
    /// A window icon holding every picture of both icon resources (either may be null).
    static QIcon toIcon(const IconResource* big, const IconResource* small);
};
