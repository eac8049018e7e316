#pragma once

// Draws the compositor's items into a target: square backgrounds of a plain colour, and images
// moved, turned or scaled, within rectangular clips, through the pixel fast paths; everything else
// through cairo (rounded corners, pattern tiles, borders, clips that are not rectangles, images
// shrunk to less than half); groups and curled pages drawn apart first.

#include "platform/graphics/CairoOwners.h"
#include "platform/quartz/CARenderItem.h"

#include <span>

class CAPainter {
public:
    // Counts what it draws in `statistics`.
    explicit CAPainter(CARenderStatistics& statistics) : statistics_(statistics) {}
    // Draws `items`, back to front.
    void draw(const CARenderTarget& target, std::span<const CARenderItem> items);
    // Draws `items` a band of rows at a time, so that the band stays in the processor's cache
    // while every item is drawn into it, and a large target's bands on all the cores; only for
    // items that all take the pixel fast paths, which touch nothing but their band's pixels.
    void drawInBands(const CARenderTarget& target, std::span<const CARenderItem> items);
    // Whether `item` can be drawn by the pixel fast paths on `target`.
    static bool drawsFast(const CARenderTarget& target, const CARenderItem& item);
    // Whether `item` paints every pixel of the target opaquely, hiding everything before it.
    static bool coversTarget(const CARenderItem& item, const CAPixelRect& whole);
    // Draws `item`, a curled page, over `under`, a still picture covering the target's clip, in
    // one pass, every pixel of the clip written once, where the page is laid straight into the
    // target's pixels (a lock screen peeled off what lies beneath it); answers whether it did.
    // Otherwise it draws nothing.
    bool drawCurlOver(const CARenderTarget& target, const CARenderItem& item,
                      const CAPixelUnder& under);

private:
    static bool fillPlacement(const CARenderTarget& target, const CARenderItem& item,
                              CAPixelRect& area, CAPixelRect& clip);
    // A pure translation of the image's pixels, within a rectangular clip.
    static bool imagePlacement(const CARenderTarget& target, const CARenderItem& item,
                               const CGAffineTransform& t, CAPixelRect& clip);
    // Any other invertible transform that cairo would draw with bilinear sampling, within a
    // rectangular clip: where each target pixel lies in the image.
    static bool transformedPlacement(const CARenderTarget& target, const CARenderItem& item,
                                     CAPixelAffine& toSource, CAPixelRect& clip);
    void drawItem(const CARenderTarget& target, const CARenderItem& item);
    bool fastFill(const CARenderTarget& target, const CARenderItem& item);
    // Where an image item lands in pixels: whole pixels and 256ths of one, and its opacity.
    struct Placement {
        CAPixelRect clip;
        int x = 0, y = 0, fx = 0, fy = 0, alpha = 0;
        bool shifted() const { return fx != 0 || fy != 0; }
    };
    static bool place(const CARenderTarget& target, const CARenderItem& item, Placement& p);
    bool fastImage(const CARenderTarget& target, const CARenderItem& item);
    // A picture moved by a fraction of a pixel, or turned or scaled, or a curled page laid
    // straight into the target, over an opaque picture that covers the target (a dragged, pinched
    // or peeled lock screen over what lies beneath it) is drawn in one pass over both.
    bool fastPair(const CARenderTarget& target, const CARenderItem& below,
                  const CARenderItem& above);
    // A background, plain or of a pattern, its corners rounded when it has a corner radius.
    void cairoFill(const CARenderTarget& target, const CARenderItem& item);
    // A border: the band of its width just inside the layer's (rounded) bounds.
    void cairoBorder(const CARenderTarget& target, const CARenderItem& item);
    void cairoImage(const CARenderTarget& target, const CARenderItem& item);
    // A surface of `width` × `height` pixels holding `items`, drawn alone.
    CairoSurfacePtr drawApart(int width, int height, std::span<const CARenderItem> items,
                              CAFastPaths fastPaths);
    // Draws `items` onto `surface`, all of it `whole`, through a context of its own.
    void drawOnto(cairo_surface_t* surface, const CAPixelRect& whole,
                  std::span<const CARenderItem> items, CAFastPaths fastPaths);
    void drawGroup(const CARenderTarget& target, const CARenderItem& item);
    // A curled page is laid straight into the target's pixels where the page's pixels are the
    // target's (moved by whole pixels), and otherwise drawn apart and painted through cairo.
    void drawCurl(const CARenderTarget& target, const CARenderItem& item);
    // Where a curl's page of w × h pixels lands: its pixels to the target's, and whether the fast
    // paths can lay it straight into the target, its top-left pixel at (x, y), within `clip`.
    struct CurlPlacement {
        CGAffineTransform pageToPixels;
        CAPixelRect clip;
        int w = 0, h = 0, x = 0, y = 0;
    };
    static bool curlPlacement(const CARenderTarget& target, const CARenderItem& item,
                              CurlPlacement& p);
    // Whether a curl's page of `w` × `h` pixels is one picture alone that fills it pixel for
    // pixel, so that it need not be drawn apart; if so `pixels` are the picture's.
    static bool pagePicture(const CARenderItem& item, int w, int h, CAPixelBuffer& pixels);
    // The pixels of a curl's page of `w` × `h`, and what is known of them: its one picture's, or
    // drawn apart into `apart`.
    CAPixelBuffer pagePixels(const CARenderItem& item, int w, int h, CairoSurfacePtr& apart,
                             CAPixelSource& kind);

    CARenderStatistics& statistics_;
};
