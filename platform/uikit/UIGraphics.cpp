#include "platform/uikit/UIGraphics.h"

#include <atomic>
#include <cmath>
#include <vector>

namespace {

struct StackEntry {
    CGContextRef context;
    bool isImageContext = false;
    bool opaque = false;
    CGFloat scale = 1;
};

std::vector<StackEntry>& contextStack() {
    thread_local std::vector<StackEntry> stack;
    return stack;
}

std::atomic<CGFloat> mainScreenScale{1};

// Pixels for `points` at `scale`, rounded up unless float noise alone takes it past a whole pixel.
size_t pixelsFor(CGFloat points, CGFloat scale) {
    const double pixels = double{points} * scale;
    if (!(pixels > 0) || !std::isfinite(pixels)) return 0;
    return static_cast<size_t>(std::ceil(pixels - 1.0 / 1024));
}

// A bitmap context in UIKit's space: the CTM puts (0, 0) at the top-left and counts in points.
CGContextRef makeImageContext(CGSize size, bool opaque, CGFloat scale) {
    const CGContextRef ctx =
        CGBitmapContextCreate(pixelsFor(size.width, scale), pixelsFor(size.height, scale));
    if (!ctx) return nullptr;
    if (opaque) {
        const CGFloat height = CGBitmapContextGetHeight(ctx);
        CGContextFillRect(ctx, CGRectMake(0, 0, CGBitmapContextGetWidth(ctx), height));
    }
    CGContextTranslateCTM(ctx, 0, CGBitmapContextGetHeight(ctx));
    CGContextScaleCTM(ctx, scale, -scale);
    return ctx;
}

// The bitmap laid over black, as a bitmap without alpha would hold it.
CGImageRef opaqueImageOf(const CGContextRef& ctx) {
    const CGContextRef flat =
        CGBitmapContextCreate(CGBitmapContextGetWidth(ctx), CGBitmapContextGetHeight(ctx));
    const CGRect all =
        CGRectMake(0, 0, CGBitmapContextGetWidth(ctx), CGBitmapContextGetHeight(ctx));
    CGContextFillRect(flat, all);
    CGContextDrawImage(flat, all, CGBitmapContextCreateImage(ctx));
    return CGBitmapContextCreateImage(flat);
}

}  // namespace

void UIGraphicsSetMainScreenScaleForContexts(CGFloat scale) {
    mainScreenScale = scale > 0 ? scale : 1;
}

CGFloat UIGraphicsGetMainScreenScaleForContexts() {
    return mainScreenScale;
}

void UIGraphicsBeginImageContext(CGSize size) {
    UIGraphicsBeginImageContextWithOptions(size, false, 1);
}

void UIGraphicsBeginImageContextWithOptions(CGSize size, bool opaque, CGFloat scale) {
    if (scale <= 0) scale = mainScreenScale;
    contextStack().push_back({.context = makeImageContext(size, opaque, scale),
                              .isImageContext = true,
                              .opaque = opaque,
                              .scale = scale});
}

CGContextRef UIGraphicsGetCurrentContext() {
    const auto& stack = contextStack();
    return stack.empty() ? nullptr : stack.back().context;
}

UIImageRef UIGraphicsGetImageFromCurrentImageContext() {
    const auto& stack = contextStack();
    if (stack.empty() || !stack.back().isImageContext || !stack.back().context) return nullptr;
    const StackEntry& top = stack.back();
    const CGImageRef pixels =
        top.opaque ? opaqueImageOf(top.context) : CGBitmapContextCreateImage(top.context);
    return UIImage::imageWithCGImage(pixels, top.scale, UIImageOrientationUp);
}

void UIGraphicsEndImageContext() {
    auto& stack = contextStack();
    if (!stack.empty() && stack.back().isImageContext) stack.pop_back();
}

void UIGraphicsPushContext(const CGContextRef& ctx) {
    contextStack().push_back({ctx});
}

void UIGraphicsPopContext() {
    auto& stack = contextStack();
    if (!stack.empty() && !stack.back().isImageContext) stack.pop_back();
}
