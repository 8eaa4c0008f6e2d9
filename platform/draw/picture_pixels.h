// The image behind a Picture, for the Qt side of the platform layer that
// makes pictures and draws them.
#pragma once

#include "platform/draw/picture.h"

#include <QImage>

namespace vellum::platform {

struct Picture::Pixels {
    QImage image;
};

} // namespace vellum::platform
