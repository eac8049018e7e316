#include "tools/sheet/ContactSheet.h"

#include "platform/graphics/CGContext.h"

#include <algorithm>
#include <cmath>

namespace {

CGColorRef grey(float white) {
    return CGColorCreate(CGColorSpaceCreateDeviceRGB(), {white, white, white, 1});
}

// The width of `frame` drawn `height` pixels high.
CGFloat widthAt(const WebPAnimationFrame& frame, CGFloat height) {
    const auto h = static_cast<CGFloat>(CGImageGetHeight(frame.image));
    return h > 0 ? std::round(height * CGImageGetWidth(frame.image) / h) : 0;
}

CGFloat rowWidth(const ContactSheetRow& row, const ContactSheetLayout& layout) {
    CGFloat width = layout.gap + layout.labelWidth;
    for (const auto& frame : row.frames) width += widthAt(frame, layout.frameHeight) + layout.gap;
    return width;
}

CGFloat rowHeight(const ContactSheetLayout& layout) {
    return layout.frameHeight + layout.captionHeight + layout.gap;
}

std::string secondsText(std::chrono::milliseconds length) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f s", length.count() / 1000.0);
    return text;
}

// Draws `row` with its top `top` pixels below the sheet's top edge. The context's space grows
// upward, so a distance from the top becomes `sheetHeight - top - height`.
void drawRow(const CGContextRef& ctx, const ContactSheetRow& row, CGFloat top, CGFloat sheetHeight,
             const ContactSheetLayout& layout) {
    const auto fromTop = [&](CGFloat x, CGFloat y, CGFloat w, CGFloat h) {
        return CGRectMake(x, sheetHeight - y - h, w, h);
    };
    const CGFloat middle = top + layout.frameHeight / 2;
    CGContextShowTextInRect(ctx, row.label, fromTop(layout.gap, middle - 22, layout.labelWidth, 24),
                            {17, CGTextWeight::Bold, CGTextAlignment::Left, grey(0.92f)});
    CGContextShowTextInRect(ctx, secondsText(row.length),
                            fromTop(layout.gap, middle + 2, layout.labelWidth, 20),
                            {13, CGTextWeight::Regular, CGTextAlignment::Left, grey(0.6f)});
    CGFloat x = layout.gap + layout.labelWidth;
    for (const auto& frame : row.frames) {
        const CGFloat w = widthAt(frame, layout.frameHeight);
        CGContextDrawImage(ctx, fromTop(x, top, w, layout.frameHeight), frame.image);
        CGContextShowTextInRect(ctx, std::to_string(frame.start.count()) + " ms",
                                fromTop(x, top + layout.frameHeight, w, layout.captionHeight),
                                {12, CGTextWeight::Regular, CGTextAlignment::Center, grey(0.75f)});
        x += w + layout.gap;
    }
}

}  // namespace

CGImageRef drawContactSheet(const std::vector<ContactSheetRow>& rows,
                            const ContactSheetLayout& layout) {
    if (rows.empty()) return nullptr;
    CGFloat width = 0;
    for (const auto& row : rows) width = std::max(width, rowWidth(row, layout));
    const CGFloat height = layout.gap + rows.size() * rowHeight(layout);
    const CGContextRef ctx =
        CGBitmapContextCreate(static_cast<size_t>(width), static_cast<size_t>(height));
    if (!ctx) return nullptr;
    CGContextSetFillColorWithColor(ctx, grey(0.13f));
    CGContextFillRect(ctx, CGRectMake(0, 0, width, height));
    for (size_t i = 0; i < rows.size(); ++i) {
        drawRow(ctx, rows[i], layout.gap + i * rowHeight(layout), height, layout);
    }
    return CGBitmapContextCreateImage(ctx);
}
