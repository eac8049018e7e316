#include "sim/springboard/SpringBoardArtwork.h"

#include "platform/uikit/UIColor.h"
#include "platform/uikit/UIGraphics.h"

#include <array>
#include <cmath>
#include <functional>

namespace SpringBoardArtwork {

namespace {

CGColorRef rgb(float r, float g, float b, float a = 1) {
    return UIColor::colorWithRed(r, g, b, a)->CGColor();
}

// Runs `draw` in a fresh image context of `size` and scale, and answers the image.
UIImageRef drawImage(CGSize size, CGFloat scale, const std::function<void(const CGContextRef&)>& draw) {
    UIGraphicsBeginImageContextWithOptions(size, false, scale);
    const CGContextRef ctx = UIGraphicsGetCurrentContext();
    if (ctx) draw(ctx);
    UIImageRef image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}

// A vertical gradient from `top` to `bottom`, in bands one point high.
void fillGradient(const CGContextRef& ctx, CGSize size, std::array<float, 3> top,
                  std::array<float, 3> bottom) {
    const int rows = static_cast<int>(std::ceil(size.height));
    for (int y = 0; y < rows; ++y) {
        const float t = rows > 1 ? static_cast<float>(y) / (rows - 1) : 0;
        CGContextSetFillColorWithColor(ctx, rgb(top[0] + (bottom[0] - top[0]) * t,
                                                top[1] + (bottom[1] - top[1]) * t,
                                                top[2] + (bottom[2] - top[2]) * t));
        CGContextFillRect(ctx, CGRectMake(0, static_cast<float>(y), size.width, 1));
    }
}

// A rectangle with corners of radius `r`, as a path.
CGPathRef roundedRect(CGRect rect, CGFloat r) {
    const CGFloat x0 = CGRectGetMinX(rect), y0 = CGRectGetMinY(rect);
    const CGFloat x1 = CGRectGetMaxX(rect), y1 = CGRectGetMaxY(rect);
    auto path = CGPathCreateMutable();
    CGPathMoveToPoint(path, nullptr, x0 + r, y0);
    CGPathAddLineToPoint(path, nullptr, x1 - r, y0);
    CGPathAddQuadCurveToPoint(path, nullptr, x1, y0, x1, y0 + r);
    CGPathAddLineToPoint(path, nullptr, x1, y1 - r);
    CGPathAddQuadCurveToPoint(path, nullptr, x1, y1, x1 - r, y1);
    CGPathAddLineToPoint(path, nullptr, x0 + r, y1);
    CGPathAddQuadCurveToPoint(path, nullptr, x0, y1, x0, y1 - r);
    CGPathAddLineToPoint(path, nullptr, x0, y0 + r);
    CGPathAddQuadCurveToPoint(path, nullptr, x0, y0, x0 + r, y0);
    CGPathCloseSubpath(path);
    return path;
}

void fillPath(const CGContextRef& ctx, const CGPathRef& path, const CGColorRef& color) {
    CGContextSetFillColorWithColor(ctx, color);
    CGContextBeginPath(ctx);
    CGContextAddPath(ctx, path);
    CGContextDrawPath(ctx, kCGPathFill);
}

void text(const CGContextRef& ctx, std::string_view line, CGRect rect, CGFloat fontSize,
          CGTextWeight weight, const CGColorRef& color,
          CGTextAlignment alignment = CGTextAlignment::Center) {
    CGContextShowTextInRect(ctx, line, rect, CGTextStyle{fontSize, weight, alignment, color});
}

// A stable hue for a name, so each application keeps its colour from run to run.
float hueOf(std::string_view name) {
    std::uint32_t h = 2166136261u;
    for (const char c : name) h = (h ^ static_cast<std::uint8_t>(c)) * 16777619u;
    return static_cast<float>(h % 360) / 360.0f;
}

std::array<float, 3> hsv(float h, float s, float v) {
    const float i = std::floor(h * 6), f = h * 6 - i;
    const float p = v * (1 - s), q = v * (1 - f * s), t = v * (1 - (1 - f) * s);
    switch (static_cast<int>(i) % 6) {
    case 0: return {v, t, p};
    case 1: return {q, v, p};
    case 2: return {p, v, t};
    case 3: return {p, q, v};
    case 4: return {t, p, v};
    default: return {v, p, q};
    }
}

// "com.example.mail" → "Mail".
std::string applicationName(std::string_view bundleIdentifier) {
    const auto dot = bundleIdentifier.rfind('.');
    std::string name(dot == std::string_view::npos ? bundleIdentifier : bundleIdentifier.substr(dot + 1));
    if (!name.empty() && name[0] >= 'a' && name[0] <= 'z') name[0] = static_cast<char>(name[0] - 32);
    return name.empty() ? "Application" : name;
}

constexpr const char* kIconNames[] = {"Messages", "Calendar", "Photos",  "Camera",
                                      "Weather",  "Clock",    "Maps",    "Notes",
                                      "Music",    "Books",    "Wallet",  "Settings",
                                      "Mail",     "Phone",    "Browser", "Stocks"};

void drawIcon(const CGContextRef& ctx, CGRect box, int index, bool labelled) {
    const auto c = hsv(static_cast<float>(index) / 16.0f, 0.55f, 0.9f);
    fillPath(ctx, roundedRect(box, box.size.width * 0.22f), rgb(c[0], c[1], c[2]));
    fillPath(ctx,
             roundedRect(CGRectMake(box.origin.x + box.size.width * 0.3f,
                                    box.origin.y + box.size.height * 0.3f, box.size.width * 0.4f,
                                    box.size.height * 0.4f),
                         box.size.width * 0.1f),
             rgb(1, 1, 1, 0.85f));
    if (labelled) {
        text(ctx, kIconNames[index % 16],
             CGRectMake(box.origin.x - 8, CGRectGetMaxY(box) + 2, box.size.width + 16, 14), 10,
             CGTextWeight::Regular, rgb(1, 1, 1));
    }
}

}  // namespace

UIImageRef wallpaper(CGSize size, CGFloat scale) {
    return drawImage(size, scale, [&](const CGContextRef& ctx) {
        fillGradient(ctx, size, {0.05f, 0.07f, 0.22f}, {0.10f, 0.32f, 0.42f});
        // Stars, placed by a fixed sequence so the picture never changes.
        std::uint32_t seed = 12345;
        CGContextSetFillColorWithColor(ctx, rgb(1, 1, 1, 0.7f));
        for (int i = 0; i < 60; ++i) {
            seed = seed * 1664525u + 1013904223u;
            const float x = static_cast<float>(seed % 1000) / 1000.0f * size.width;
            seed = seed * 1664525u + 1013904223u;
            const float y = static_cast<float>(seed % 1000) / 1000.0f * size.height * 0.6f;
            CGContextFillRect(ctx, CGRectMake(x, y, 1.5f, 1.5f));
        }
        // Two hills across the bottom.
        for (int layer = 0; layer < 2; ++layer) {
            auto hill = CGPathCreateMutable();
            const float base = size.height * (layer == 0 ? 0.72f : 0.82f);
            CGPathMoveToPoint(hill, nullptr, 0, size.height);
            CGPathAddLineToPoint(hill, nullptr, 0, base);
            CGPathAddQuadCurveToPoint(hill, nullptr, size.width * (layer == 0 ? 0.3f : 0.7f),
                                      base - size.height * 0.12f, size.width, base);
            CGPathAddLineToPoint(hill, nullptr, size.width, size.height);
            CGPathCloseSubpath(hill);
            fillPath(ctx, hill, layer == 0 ? rgb(0.06f, 0.20f, 0.25f) : rgb(0.04f, 0.13f, 0.17f));
        }
    });
}

UIImageRef homeScreen(CGSize size, CGFloat scale) {
    return drawImage(size, scale, [&](const CGContextRef& ctx) {
        fillGradient(ctx, size, {0.16f, 0.35f, 0.55f}, {0.45f, 0.25f, 0.50f});
        const float cell = size.width / 4;
        const float icon = cell * 0.6f;
        for (int i = 0; i < 16; ++i) {
            const float x = cell * static_cast<float>(i % 4) + (cell - icon) / 2;
            const float y = 36 + cell * 1.15f * static_cast<float>(i / 4);
            if (y + icon > size.height - cell * 1.3f) break;
            drawIcon(ctx, CGRectMake(x, y, icon, icon), i, true);
        }
        fillPath(ctx, roundedRect(CGRectMake(6, size.height - cell * 1.05f, size.width - 12, cell * 0.95f), 14),
                 rgb(1, 1, 1, 0.25f));
        for (int i = 0; i < 4; ++i) {
            drawIcon(ctx,
                     CGRectMake(cell * static_cast<float>(i) + (cell - icon) / 2,
                                size.height - cell * 1.05f + (cell * 0.95f - icon) / 2, icon, icon),
                     12 + i, false);
        }
    });
}

UIImageRef application(std::string_view bundleIdentifier, CGSize size, CGFloat scale) {
    return drawImage(size, scale, [&](const CGContextRef& ctx) {
        const auto tint = hsv(hueOf(bundleIdentifier), 0.6f, 0.8f);
        CGContextSetFillColorWithColor(ctx, rgb(0.97f, 0.97f, 0.96f));
        CGContextFillRect(ctx, CGRectMake(0, 0, size.width, size.height));
        CGContextSetFillColorWithColor(ctx, rgb(tint[0], tint[1], tint[2]));
        CGContextFillRect(ctx, CGRectMake(0, 0, size.width, 64));
        text(ctx, applicationName(bundleIdentifier), CGRectMake(0, 24, size.width, 36), 18,
             CGTextWeight::Bold, rgb(1, 1, 1));
        for (int row = 0; row * 56 + 80 < size.height; ++row) {
            const float y = 80 + static_cast<float>(row) * 56;
            CGContextSetFillColorWithColor(ctx, rgb(tint[0], tint[1], tint[2], 0.35f));
            CGContextFillRect(ctx, CGRectMake(14, y, 40, 40));
            CGContextSetFillColorWithColor(ctx, rgb(0.2f, 0.2f, 0.2f, 0.8f));
            CGContextFillRect(ctx, CGRectMake(66, y + 6, size.width * 0.55f, 9));
            CGContextSetFillColorWithColor(ctx, rgb(0.5f, 0.5f, 0.5f, 0.6f));
            CGContextFillRect(ctx, CGRectMake(66, y + 24, size.width * 0.35f, 7));
        }
    });
}

UIImageRef linen(CGSize size, CGFloat scale) {
    return drawImage(size, scale, [&](const CGContextRef& ctx) {
        CGContextSetFillColorWithColor(ctx, rgb(0.22f, 0.23f, 0.25f));
        CGContextFillRect(ctx, CGRectMake(0, 0, size.width, size.height));
        for (int i = 0; i < static_cast<int>(size.height); i += 2) {
            CGContextSetFillColorWithColor(ctx, rgb(1, 1, 1, (i % 6 == 0) ? 0.05f : 0.025f));
            CGContextFillRect(ctx, CGRectMake(0, static_cast<float>(i), size.width, 1));
        }
        for (int i = 0; i < static_cast<int>(size.width); i += 3) {
            CGContextSetFillColorWithColor(ctx, rgb(0, 0, 0, (i % 9 == 0) ? 0.08f : 0.04f));
            CGContextFillRect(ctx, CGRectMake(static_cast<float>(i), 0, 1, size.height));
        }
    });
}

UIImageRef clockFace(std::string_view time, std::string_view date, CGSize size, CGFloat scale) {
    return drawImage(size, scale, [&](const CGContextRef& ctx) {
        CGContextSetFillColorWithColor(ctx, rgb(0, 0, 0, 0.35f));
        CGContextFillRect(ctx, CGRectMake(0, 0, size.width, size.height));
        text(ctx, time, CGRectMake(0, 4, size.width, size.height * 0.68f), size.height * 0.55f,
             CGTextWeight::Light, rgb(1, 1, 1));
        text(ctx, date, CGRectMake(0, size.height * 0.68f, size.width, size.height * 0.28f),
             size.height * 0.18f, CGTextWeight::Regular, rgb(1, 1, 1, 0.9f));
    });
}

UIImageRef mediaControls(CGSize size, CGFloat scale) {
    return drawImage(size, scale, [&](const CGContextRef& ctx) {
        CGContextSetFillColorWithColor(ctx, rgb(0, 0, 0, 0.35f));
        CGContextFillRect(ctx, CGRectMake(0, 0, size.width, size.height));
        const float cy = size.height * 0.36f, h = size.height * 0.14f, cx = size.width / 2;
        // One triangle pointing right (direction 1) or left (-1), its base at `x`.
        auto triangle = [&](float x, float direction) {
            auto path = CGPathCreateMutable();
            CGPathMoveToPoint(path, nullptr, x, cy - h);
            CGPathAddLineToPoint(path, nullptr, x + direction * h * 1.6f, cy);
            CGPathAddLineToPoint(path, nullptr, x, cy + h);
            CGPathCloseSubpath(path);
            fillPath(ctx, path, rgb(1, 1, 1));
        };
        triangle(cx - h * 0.8f, 1);
        triangle(cx - size.width * 0.22f, -1);
        triangle(cx - size.width * 0.22f - h * 1.6f, -1);
        triangle(cx + size.width * 0.22f, 1);
        triangle(cx + size.width * 0.22f - h * 1.6f, 1);
        text(ctx, "Now Playing", CGRectMake(0, size.height * 0.68f, size.width, size.height * 0.28f),
             size.height * 0.18f, CGTextWeight::Regular, rgb(1, 1, 1, 0.9f));
    });
}

UIImageRef unlockTrack(CGSize size, CGFloat scale) {
    return drawImage(size, scale, [&](const CGContextRef& ctx) {
        CGContextSetFillColorWithColor(ctx, rgb(0, 0, 0, 0.45f));
        CGContextFillRect(ctx, CGRectMake(0, 0, size.width, size.height));
        const CGRect groove = CGRectMake(20, size.height / 2 - 24, size.width - 40, 48);
        fillPath(ctx, roundedRect(groove, 12), rgb(0, 0, 0, 0.55f));
        text(ctx, "slide to unlock",
             CGRectMake(groove.origin.x + 70, groove.origin.y, groove.size.width - 80, 48), 22,
             CGTextWeight::Regular, rgb(1, 1, 1, 0.75f));
    });
}

UIImageRef unlockKnob(CGSize size, CGFloat scale) {
    return drawImage(size, scale, [&](const CGContextRef& ctx) {
        const CGRect box = CGRectMake(0, 0, size.width, size.height);
        fillPath(ctx, roundedRect(box, 10), rgb(0.93f, 0.93f, 0.94f));
        // An arrow pointing right.
        auto arrow = CGPathCreateMutable();
        const float cx = size.width / 2, cy = size.height / 2;
        CGPathMoveToPoint(arrow, nullptr, cx - 12, cy - 4);
        CGPathAddLineToPoint(arrow, nullptr, cx + 2, cy - 4);
        CGPathAddLineToPoint(arrow, nullptr, cx + 2, cy - 11);
        CGPathAddLineToPoint(arrow, nullptr, cx + 14, cy);
        CGPathAddLineToPoint(arrow, nullptr, cx + 2, cy + 11);
        CGPathAddLineToPoint(arrow, nullptr, cx + 2, cy + 4);
        CGPathAddLineToPoint(arrow, nullptr, cx - 12, cy + 4);
        CGPathCloseSubpath(arrow);
        fillPath(ctx, arrow, rgb(0.45f, 0.45f, 0.47f));
    });
}

UIImageRef statusBar(CGSize size, CGFloat scale, bool lockVisible, bool timeVisible,
                     std::string_view time, bool clockItem) {
    return drawImage(size, scale, [&](const CGContextRef& ctx) {
        CGContextSetFillColorWithColor(ctx, rgb(0, 0, 0, 0.6f));
        CGContextFillRect(ctx, CGRectMake(0, 0, size.width, size.height));
        text(ctx, "Carrier", CGRectMake(6, 0, 80, size.height), 12, CGTextWeight::Bold,
             rgb(1, 1, 1), CGTextAlignment::Left);
        if (timeVisible) {
            text(ctx, time, CGRectMake(0, 0, size.width, size.height), 13, CGTextWeight::Bold,
                 rgb(1, 1, 1));
        } else if (lockVisible) {
            const float cx = size.width / 2;
            CGContextSetFillColorWithColor(ctx, rgb(1, 1, 1));
            CGContextFillRect(ctx, CGRectMake(cx - 5, size.height / 2 - 1, 10, 7));
            CGContextSetStrokeColorWithColor(ctx, rgb(1, 1, 1));
            CGContextSetLineWidth(ctx, 1.5f);
            CGContextBeginPath(ctx);
            CGContextAddPath(ctx, roundedRect(CGRectMake(cx - 3.5f, size.height / 2 - 6, 7, 8), 3));
            CGContextDrawPath(ctx, kCGPathStroke);
        }
        if (clockItem) {
            text(ctx, time, CGRectMake(size.width - 110, 0, 60, size.height), 12,
                 CGTextWeight::Regular, rgb(1, 1, 1), CGTextAlignment::Center);
        }
        CGContextSetFillColorWithColor(ctx, rgb(1, 1, 1));
        CGContextFillRect(ctx, CGRectMake(size.width - 30, size.height / 2 - 4, 22, 9));
    });
}

namespace {

constexpr float kKeyHeight = 54;
constexpr const char* kKeyTitles[] = {"1", "2", "3", "4", "5", "6", "7", "8", "9", "", "0", "\u232B"};
constexpr char kKeys[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9', 0, '0', '\b'};

// The keypad's key `i` (0 to 11, row by row) on a screen of `size`.
CGRect passcodeKey(CGSize size, int i) {
    const float keyWidth = size.width / 3, top = size.height - 4 * kKeyHeight;
    return CGRectMake(keyWidth * static_cast<float>(i % 3),
                      top + kKeyHeight * static_cast<float>(i / 3), keyWidth, kKeyHeight);
}

}  // namespace

UIImageRef passcodeEntry(CGSize size, CGFloat scale, int digitsEntered) {
    return drawImage(size, scale, [&](const CGContextRef& ctx) {
        fillGradient(ctx, size, {0.12f, 0.13f, 0.16f}, {0.05f, 0.05f, 0.07f});
        text(ctx, "Enter Passcode", CGRectMake(0, 40, size.width, 30), 18, CGTextWeight::Bold,
             rgb(1, 1, 1));
        const float box = 44, gap = 14, left = (size.width - 4 * box - 3 * gap) / 2;
        for (int i = 0; i < 4; ++i) {
            const CGRect square = CGRectMake(left + static_cast<float>(i) * (box + gap), 84, box, box);
            fillPath(ctx, roundedRect(square, 6), rgb(1, 1, 1, 0.9f));
            if (i >= digitsEntered) continue;
            const CGRect dot = CGRectMake(square.origin.x + 15, square.origin.y + 15, box - 30, box - 30);
            fillPath(ctx, roundedRect(dot, dot.size.width / 2), rgb(0.1f, 0.1f, 0.12f));
        }
        for (int i = 0; i < 12; ++i) {
            const CGRect key = passcodeKey(size, i);
            CGContextSetFillColorWithColor(ctx, rgb(1, 1, 1, (i % 2) ? 0.16f : 0.12f));
            CGContextFillRect(ctx, CGRectMake(key.origin.x + 1, key.origin.y + 1,
                                              key.size.width - 2, key.size.height - 2));
            text(ctx, kKeyTitles[i], key, 24, CGTextWeight::Regular, rgb(1, 1, 1));
        }
    });
}

std::optional<char> passcodeKeyAt(CGSize size, CGPoint point) {
    for (int i = 0; i < 12; ++i) {
        if (kKeys[i] && CGRectContainsPoint(passcodeKey(size, i), point)) return kKeys[i];
    }
    return std::nullopt;
}

UIImageRef alertBox(std::string_view title, std::string_view message, CGSize size,
                    CGFloat scale) {
    return drawImage(size, scale, [&](const CGContextRef& ctx) {
        fillPath(ctx, roundedRect(CGRectMake(0, 0, size.width, size.height), 12),
                 rgb(0.12f, 0.22f, 0.45f, 0.92f));
        text(ctx, title, CGRectMake(0, 12, size.width, 26), 17, CGTextWeight::Bold, rgb(1, 1, 1));
        text(ctx, message, CGRectMake(8, 40, size.width - 16, 24), 14, CGTextWeight::Regular,
             rgb(1, 1, 1));
        fillPath(ctx, roundedRect(CGRectMake(12, size.height - 48, size.width - 24, 36), 8),
                 rgb(1, 1, 1, 0.25f));
        text(ctx, "OK", CGRectMake(12, size.height - 48, size.width - 24, 36), 16,
             CGTextWeight::Bold, rgb(1, 1, 1));
    });
}

UIImageRef camera(CGSize size, CGFloat scale) {
    return drawImage(size, scale, [&](const CGContextRef& ctx) {
        CGContextSetFillColorWithColor(ctx, rgb(0.05f, 0.05f, 0.05f));
        CGContextFillRect(ctx, CGRectMake(0, 0, size.width, size.height));
        fillGradient(ctx, CGSizeMake(size.width, size.height - 96), {0.25f, 0.3f, 0.25f},
                     {0.1f, 0.12f, 0.1f});
        CGContextSetStrokeColorWithColor(ctx, rgb(1, 1, 1, 0.4f));
        CGContextSetLineWidth(ctx, 1);
        for (int i = 1; i < 3; ++i) {
            CGContextBeginPath(ctx);
            CGContextAddRect(ctx, CGRectMake(size.width * static_cast<float>(i) / 3, 0, 0.5f,
                                             size.height - 96));
            CGContextAddRect(ctx, CGRectMake(0, (size.height - 96) * static_cast<float>(i) / 3,
                                             size.width, 0.5f));
            CGContextDrawPath(ctx, kCGPathStroke);
        }
        const CGRect shutter = CGRectMake(size.width / 2 - 30, size.height - 78, 60, 60);
        fillPath(ctx, roundedRect(shutter, 30), rgb(1, 1, 1));
    });
}

}  // namespace SpringBoardArtwork
