#pragma once

// UIKit's drawing contexts: a per-thread stack whose top is the current context. An image
// context is a bitmap context whose space is UIKit's: origin at the top-left, y growing downward,
// in points of the context's scale.

#include "platform/graphics/CGContext.h"
#include "platform/graphics/CGGeometry.h"
#include "platform/uikit/UIImage.h"

// Sets the scale that image contexts asked for scale 0 take (the main screen's; 1 until set, and
// values that are not positive count as 1).
void UIGraphicsSetMainScreenScaleForContexts(CGFloat scale);
// The scale that image contexts asked for scale 0 take.
CGFloat UIGraphicsGetMainScreenScaleForContexts();

// Pushes a transparent image context of `size` points at scale 1.
void UIGraphicsBeginImageContext(CGSize size);
// Pushes an image context of `size` points at `scale` (0: the main screen's). An opaque context
// starts black and its images ignore alpha. A size without area still pushes an entry, so that
// begin and end stay paired, but that entry has no context.
void UIGraphicsBeginImageContextWithOptions(CGSize size, bool opaque, CGFloat scale);
// The context on top of this thread's stack; null when the stack is empty or the top entry is an
// image context that could not be made.
CGContextRef UIGraphicsGetCurrentContext();
// The current image context's contents as an image of its scale; nil when the top entry is not
// an image context or has no context.
UIImageRef UIGraphicsGetImageFromCurrentImageContext();
// Pops the current image context; nothing when the top entry is not an image context.
void UIGraphicsEndImageContext();

// Makes `ctx` the current context, on top of the stack (a null context pushes an empty entry).
void UIGraphicsPushContext(const CGContextRef& ctx);
// Pops a context pushed with UIGraphicsPushContext; nothing when the top entry is an image
// context or the stack is empty.
void UIGraphicsPopContext();
