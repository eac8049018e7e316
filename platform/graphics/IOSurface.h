#pragma once

// A surface holding a picture of an application's screen, as a context host hands it out.

#include "platform/graphics/CGImage.h"
#include "platform/graphics/Forward.h"

#include <memory>

struct IOSurface {
    CGImageRef image;  // the pixels, first row at the top
};
