#include "sim/device/WindowOverlay.h"

#include "platform/graphics/CGColor.h"
#include "platform/graphics/CGContext.h"

#include <algorithm>

namespace {

constexpr float kLine = 16;     // points from one line of help to the next
constexpr float kPadding = 10;  // points round the text of a panel

CGColorRef rgba(float r, float g, float b, float a) {
    return CGColorCreate(CGColorSpaceCreateDeviceRGB(), {r, g, b, a});
}
CGColorRef textColour() {
    return rgba(1, 1, 1, 1);
}

void fillPanel(const CGContextRef& ctx, CGRect rect) {
    CGContextSetFillColorWithColor(ctx, rgba(0.05f, 0.06f, 0.09f, 0.82f));
    CGContextFillRect(ctx, rect);
}

// The help lines in a panel across the middle of the window, as wide as the window allows.
void drawHelp(const CGContextRef& ctx, CGSize window, const std::vector<std::string>& lines) {
    const float width = std::min(window.width - 16.0f, 420.0f);
    const float height = static_cast<float>(lines.size()) * kLine + 2 * kPadding;
    const CGRect panel = CGRectMake((window.width - width) / 2,
                                    std::max(8.0f, (window.height - height) / 2), width, height);
    fillPanel(ctx, panel);
    const CGTextStyle style{11, CGTextWeight::Regular, CGTextAlignment::Left, textColour()};
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const CGRect line = CGRectMake(panel.origin.x + kPadding,
                                       panel.origin.y + kPadding + kLine * static_cast<float>(i),
                                       width - 2 * kPadding, kLine);
        CGContextShowTextInRect(ctx, lines[i], line, style);
    }
}

void drawFrameRate(const CGContextRef& ctx, CGSize window, const WindowOverlayContent& content) {
    // Below the status bar, clear of its battery; the touch's wait, when there is one, below.
    const CGRect line = CGRectMake(window.width - 94, 26, 88, 22);
    const bool wait = !content.touchWait.empty();
    fillPanel(ctx, CGRectMake(line.origin.x, line.origin.y, line.size.width, wait ? 40 : 22));
    const CGTextStyle bold{12, CGTextWeight::Bold, CGTextAlignment::Center, textColour()};
    CGContextShowTextInRect(ctx, content.frameRate, line, bold);
    if (wait) {
        const CGRect below = CGRectMake(line.origin.x, line.origin.y + 16, line.size.width, 22);
        CGContextShowTextInRect(
            ctx, content.touchWait, below,
            CGTextStyle{11, CGTextWeight::Regular, CGTextAlignment::Center, textColour()});
    }
}

}  // namespace

CGImageRef drawWindowOverlay(int width, int height, double textScale,
                             const WindowOverlayContent& content) {
    if (content.help.empty() && content.frameRate.empty()) return nullptr;
    const CGContextRef ctx =
        CGBitmapContextCreate(static_cast<size_t>(width), static_cast<size_t>(height));
    if (!ctx) return nullptr;
    // Drawn in points with the first row at the top, as the window's texture is laid out.
    const auto scale = static_cast<CGFloat>(textScale);
    CGContextTranslateCTM(ctx, 0, static_cast<CGFloat>(height));
    CGContextScaleCTM(ctx, scale, -scale);
    const CGSize window{static_cast<CGFloat>(width) / scale, static_cast<CGFloat>(height) / scale};
    if (!content.help.empty()) drawHelp(ctx, window, content.help);
    if (!content.frameRate.empty()) drawFrameRate(ctx, window, content);
    return CGBitmapContextCreateImage(ctx);
}
