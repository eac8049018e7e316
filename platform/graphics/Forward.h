#pragma once

// Core Graphics' classes and the shared handles they are passed around by, declared for headers
// that only hold or pass them.

#include <memory>

class CGColor;
class CGColorSpace;
class CGContext;
class CGImage;
class CGPath;
class CGPattern;
struct IOSurface;

using CGColorRef = std::shared_ptr<const CGColor>;
using CGColorSpaceRef = std::shared_ptr<const CGColorSpace>;
using CGContextRef = std::shared_ptr<CGContext>;
using CGImageRef = std::shared_ptr<const CGImage>;
using CGPathRef = std::shared_ptr<const CGPath>;
using CGMutablePathRef = std::shared_ptr<CGPath>;
using CGPatternRef = std::shared_ptr<const CGPattern>;
using IOSurfaceRef = std::shared_ptr<IOSurface>;
