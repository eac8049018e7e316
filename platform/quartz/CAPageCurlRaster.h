#pragma once

// Draws a page peeled as a CAPageCurlGeometry lays it out, pixel by pixel: every pixel of the
// result is found from the page by following the curl back to the paper seen there (an inverse
// map), so the picture has no holes and the page is sampled bilinearly wherever the paper bends.

#include "platform/quartz/CAPageCurlGeometry.h"
#include "platform/quartz/CAPixelBlit.h"

// Writes every pixel of `out` (premultiplied ARGB32, as large as `page`) with what lies over the
// page's rectangle when `page` is curled as `curl` says: the flat page where the curl has not
// reached, the cylinder and the flap (the page's back, lighter and mirrored, nine tenths opaque)
// where the paper is lifted, and where the paper has gone, nothing but the soft shadow it casts
// on whatever lies beneath.
void CAPageCurlRaster(const CAPixelBuffer& out, const CAPixelBuffer& page,
                      const CAPageCurlGeometry& curl);

// Lays `page` curled as `curl` says straight over `target`, the page's top-left pixel at (x, y) of
// the target and its pixels the target's, at opacity `alpha` (0 to 256), within `clip`: each
// target pixel gets what CAPageCurlRaster would write for it, blended over what it holds, and
// where the paper has gone and casts no shadow it is left alone. A page whose pixels are all
// opaque (`kind`) lets flat paper be copied.
void CAPageCurlRasterOver(const CAPixelBuffer& target, const CAPixelRect& clip, int x, int y,
                          const CAPixelBuffer& page, CAPixelSource kind,
                          const CAPageCurlGeometry& curl, int alpha);

// As CAPageCurlRasterOver, over `under` (covering all of `clip`) instead of what the target holds:
// every target pixel in `clip` is written once, as if `under` had been copied there first.
void CAPageCurlRasterOverPicture(const CAPixelBuffer& target, const CAPixelRect& clip, int x, int y,
                                 const CAPixelBuffer& page, CAPixelSource kind,
                                 const CAPageCurlGeometry& curl, int alpha,
                                 const CAPixelUnder& under);
