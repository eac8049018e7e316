#pragma once

// Drawing contexts over bitmaps, with Core Graphics' semantics on cairo.
//
// A bitmap context's user space starts as the platform's: origin at the bottom-left, y growing
// upward, one unit per pixel. Images are drawn with their first row at the top of the target
// rectangle (its maximum y), so they come out upright in that space and upside down in a space
// that has been flipped to grow downward. The graphics state (CTM, clip, mask, colours, alpha,
// blend mode, line width) is saved and restored as a stack.
//
// CGContextRef is a shared handle: whoever creates a context and UIKit's context stack both hold
// it, and its bitmap lives until the last holder lets go. Every function does nothing, or answers
// zero, for a null context, as the platform does.

#include <cairo.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/graphics/CGColor.h"
#include "platform/graphics/CGGeometry.h"
#include "platform/graphics/CGImage.h"
#include "platform/graphics/CGPath.h"
#include "platform/graphics/Forward.h"

// The blend modes, with the values the platform gives them. Every mode but plus-darker has a
// cairo operator; plus-darker draws as normal.
enum CGBlendMode : int32_t {
    kCGBlendModeNormal = 0,
    kCGBlendModeMultiply = 1,
    kCGBlendModeScreen = 2,
    kCGBlendModeOverlay = 3,
    kCGBlendModeDarken = 4,
    kCGBlendModeLighten = 5,
    kCGBlendModeColorDodge = 6,
    kCGBlendModeColorBurn = 7,
    kCGBlendModeSoftLight = 8,
    kCGBlendModeHardLight = 9,
    kCGBlendModeDifference = 10,
    kCGBlendModeExclusion = 11,
    kCGBlendModeHue = 12,
    kCGBlendModeSaturation = 13,
    kCGBlendModeColor = 14,
    kCGBlendModeLuminosity = 15,
    kCGBlendModeClear = 16,
    kCGBlendModeCopy = 17,
    kCGBlendModeSourceIn = 18,
    kCGBlendModeSourceOut = 19,
    kCGBlendModeSourceAtop = 20,
    kCGBlendModeDestinationOver = 21,
    kCGBlendModeDestinationIn = 22,
    kCGBlendModeDestinationOut = 23,
    kCGBlendModeDestinationAtop = 24,
    kCGBlendModeXOR = 25,
    kCGBlendModePlusDarker = 26,
    kCGBlendModePlusLighter = 27,
};

// How CGContextDrawPath paints the current path, with the platform's values.
enum CGPathDrawingMode : int32_t {
    kCGPathFill = 0,
    kCGPathEOFill = 1,
    kCGPathStroke = 2,
    kCGPathFillStroke = 3,
    kCGPathEOFillStroke = 4,
};

// A transparent context of `pixelWidth` × `pixelHeight` pixels in the platform's y-up space;
// null when a side is zero or too large for a bitmap.
CGContextRef CGBitmapContextCreate(size_t pixelWidth, size_t pixelHeight);
// The bitmap's width and height in pixels; 0 for a null context.
size_t CGBitmapContextGetWidth(const CGContextRef& ctx);
size_t CGBitmapContextGetHeight(const CGContextRef& ctx);
// A copy of the bitmap as it is now; null for a null context.
CGImageRef CGBitmapContextCreateImage(const CGContextRef& ctx);

// Pushes a copy of the graphics state.
void CGContextSaveGState(const CGContextRef& ctx);
// Pops the state saved last; nothing when none is saved.
void CGContextRestoreGState(const CGContextRef& ctx);

// Each changes the CTM in its own space: the new step applies to user coordinates first.
void CGContextTranslateCTM(const CGContextRef& ctx, CGFloat tx, CGFloat ty);
void CGContextScaleCTM(const CGContextRef& ctx, CGFloat sx, CGFloat sy);
// Rotates by `angle` radians, counter-clockwise in a y-up space.
void CGContextRotateCTM(const CGContextRef& ctx, CGFloat angle);
void CGContextConcatCTM(const CGContextRef& ctx, CGAffineTransform transform);
// The transform from user space to the bitmap's y-up pixel space; identity for a null context.
CGAffineTransform CGContextGetCTM(const CGContextRef& ctx);

// The opacity (clamped to [0, 1]) applied to everything drawn after.
void CGContextSetAlpha(const CGContextRef& ctx, CGFloat alpha);
// How later drawing combines with the bitmap; an unknown value draws as normal.
void CGContextSetBlendMode(const CGContextRef& ctx, CGBlendMode mode);
// The colour of fills and text; a null colour leaves the current one.
void CGContextSetFillColorWithColor(const CGContextRef& ctx, const CGColorRef& color);
// The colour of strokes; a null colour leaves the current one.
void CGContextSetStrokeColorWithColor(const CGContextRef& ctx, const CGColorRef& color);
// The width of strokes in user-space units (1 at first).
void CGContextSetLineWidth(const CGContextRef& ctx, CGFloat width);

// Discards the current path.
void CGContextBeginPath(const CGContextRef& ctx);
// Adds a closed rectangle to the current path.
void CGContextAddRect(const CGContextRef& ctx, CGRect rect);
// Adds the elements of `path`, mapped by the CTM as they are now; nothing for a null path.
void CGContextAddPath(const CGContextRef& ctx, const CGPathRef& path);
// Paints the current path as `mode` says, then discards it.
void CGContextDrawPath(const CGContextRef& ctx, CGPathDrawingMode mode);
// Paints `rect` with the fill colour, leaving the current path alone.
void CGContextFillRect(const CGContextRef& ctx, CGRect rect);
// Makes `rect` transparent (within the clip), whatever the blend mode and alpha.
void CGContextClearRect(const CGContextRef& ctx, CGRect rect);

// Narrows the clip to `rect`, leaving the current path alone.
void CGContextClipToRect(const CGContextRef& ctx, CGRect rect);
// Narrows the clip to `rect`, weighted by the alpha of `image` placed there as
// CGContextDrawImage would place it; a null image leaves the clip unchanged.
void CGContextClipToMask(const CGContextRef& ctx, CGRect rect, const CGImageRef& image);

// Draws `image` scaled to fill `rect`, its first row at the rect's maximum y; nothing for a null
// image. A placement that moves pixels by whole pixels copies them without resampling.
void CGContextDrawImage(const CGContextRef& ctx, CGRect rect, const CGImageRef& image);

enum class CGTextWeight { Light, Regular, Bold };
enum class CGTextAlignment { Left, Center, Right };

// How CGContextShowTextInRect sets a line of text (in DejaVu Sans).
struct CGTextStyle {
    CGFloat fontSize = 17;
    CGTextWeight weight = CGTextWeight::Regular;
    CGTextAlignment alignment = CGTextAlignment::Center;
    // Null draws in the context's fill colour.
    CGColorRef color;
};

// Draws one line of UTF-8 `text` upright in `rect` (its top is the rect's edge nearer the
// bitmap's top), centred vertically and aligned as `style` says, clipped to the rect.
void CGContextShowTextInRect(const CGContextRef& ctx, std::string_view text, CGRect rect,
                             const CGTextStyle& style);

// How a block of text goes into lines: broken at word boundaries (a word wider than the line is
// broken between characters), or, where the lines run out, ended with an ellipsis.
enum class CGLineBreakMode { WordWrap, TruncateTail };

// How CGContextShowTextBlockInRect and CGTextMeasureBlock break a block of text into lines.
struct CGTextBlockLayout {
    CGLineBreakMode lineBreakMode = CGLineBreakMode::WordWrap;
    // The most lines to set; 0 sets as many as the text needs.
    int maximumLines = 0;
};

// The distance from one baseline to the next in a block of text of `style`'s font.
CGFloat CGTextGetLineHeight(const CGTextStyle& style);
// The lines that UTF-8 `text` breaks into at `width`, as CGContextShowTextBlockInRect sets them:
// a newline always ends a line, words go on a line while they fit, and when more text is left
// than `layout.maximumLines` allows, word wrapping drops it while tail truncation ends the last
// line with as much of it as fits before an ellipsis. Empty for empty text.
std::vector<std::string> CGTextBreakIntoLines(std::string_view text, CGFloat width,
                                              const CGTextStyle& style,
                                              const CGTextBlockLayout& layout);
// The size, rounded up to whole points, that `text` needs when set in lines no wider than
// `width`: the widest line's advance by the lines' number times the line height.
CGSize CGTextMeasureBlock(std::string_view text, CGFloat width, const CGTextStyle& style,
                          const CGTextBlockLayout& layout);
// Draws UTF-8 `text` upright in `rect` as lines broken at the rect's width, the first at the
// rect's top, each aligned as `style` says; only the lines that fit in the rect's height are set
// (at least one), so tail truncation ends the last of those with an ellipsis. Clipped to the rect.
void CGContextShowTextBlockInRect(const CGContextRef& ctx, std::string_view text, CGRect rect,
                                  const CGTextStyle& style, const CGTextBlockLayout& layout);

// The cairo context underneath, for fast paths: its matrix maps user space to pixel rows (first
// row at the top), and drawing through it ignores the blend mode, alpha and mask set here.
// Null for a null context.
cairo_t* CGContextGetCairo(const CGContextRef& ctx);
