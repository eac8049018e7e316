#include "platform/graphics/CGImage.h"

#include "platform/graphics/PictureMemory.h"

#include <cstring>
#include <fstream>
#include <utility>

namespace {

// cairo refuses bitmaps with a side above this.
constexpr size_t kMaxSide = 32767;

uint32_t* pixelRow(cairo_surface_t* surface, size_t y) {
    return reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(surface) +
                                       y * cairo_image_surface_get_stride(surface));
}

bool everyPixelOpaque(cairo_surface_t* surface) {
    const int width = cairo_image_surface_get_width(surface);
    const int height = cairo_image_surface_get_height(surface);
    for (int y = 0; y < height; ++y) {
        // A row's pixels and-ed together, a loop the compiler runs many pixels at a time: a
        // screen's worth is checked for every frame the window shows.
        const uint32_t* row = pixelRow(surface, y);
        uint32_t all = 0xFFFFFFFFu;
        for (int x = 0; x < width; ++x) all &= row[x];
        if ((all >> 24) != 0xff) return false;
    }
    return true;
}

uint32_t premultiplied(CGImagePixel p) {
    const auto scale = [a = p.a](uint8_t c) { return (uint32_t{c} * a + 127) / 255; };
    return uint32_t{p.a} << 24 | scale(p.r) << 16 | scale(p.g) << 8 | scale(p.b);
}

CGImagePixel unpremultiplied(uint32_t argb) {
    const uint32_t a = argb >> 24;
    if (a == 0) return {};
    const auto scale = [a](uint32_t c) { return static_cast<uint8_t>((c * 255 + a / 2) / a); };
    return {scale(argb >> 16 & 0xff), scale(argb >> 8 & 0xff), scale(argb & 0xff),
            static_cast<uint8_t>(a)};
}

struct ReadCursor {
    std::span<const uint8_t> bytes;
    size_t offset = 0;
};

// A short read makes cairo's PNG reader fail, which is how a truncated file comes out null.
cairo_status_t readFromSpan(void* closure, unsigned char* data, unsigned int length) {
    auto* cursor = static_cast<ReadCursor*>(closure);
    if (cursor->bytes.size() - cursor->offset < length) return CAIRO_STATUS_READ_ERROR;
    std::memcpy(data, cursor->bytes.data() + cursor->offset, length);
    cursor->offset += length;
    return CAIRO_STATUS_SUCCESS;
}

cairo_status_t appendToVector(void* closure, const unsigned char* data, unsigned int length) {
    auto* bytes = static_cast<std::vector<uint8_t>*>(closure);
    bytes->insert(bytes->end(), data, data + length);
    return CAIRO_STATUS_SUCCESS;
}

// Paints `source` over all of `copy`, whose context is gone before the copy is read. Painting
// with SOURCE converts any format (opaque RGB24, alpha-only A8) to ARGB32.
void paintCopy(cairo_surface_t* copy, cairo_surface_t* source) {
    const CairoContextPtr cr(cairo_create(copy));
    cairo_set_operator(cr.get(), CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr.get(), source, 0, 0);
    cairo_paint(cr.get());
}

}  // namespace

CGImage::CGImage(CairoSurfacePtr surface)
    : surface_(std::move(surface)), opaque_(everyPixelOpaque(surface_.get())) {}

size_t CGImage::width() const {
    return cairo_image_surface_get_width(surface_.get());
}

size_t CGImage::height() const {
    return cairo_image_surface_get_height(surface_.get());
}

size_t CGImageGetWidth(const CGImageRef& image) {
    return image ? image->width() : 0;
}

size_t CGImageGetHeight(const CGImageRef& image) {
    return image ? image->height() : 0;
}

CGImageRef CGImageCreateWithPixels(size_t width, size_t height,
                                   std::span<const CGImagePixel> pixels) {
    if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide) return nullptr;
    if (pixels.size() != width * height) return nullptr;
    CairoSurfacePtr surface =
        pictureSurfaceCreate(int(width), int(height), PictureFill::WrittenByCaller);
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
    for (size_t y = 0; y < height; ++y) {
        uint32_t* row = pixelRow(surface.get(), y);
        for (size_t x = 0; x < width; ++x) row[x] = premultiplied(pixels[y * width + x]);
    }
    cairo_surface_mark_dirty(surface.get());
    return std::make_shared<CGImage>(std::move(surface));
}

CGImageRef CGImageCreateWithSurfaceCopy(cairo_surface_t* source) {
    if (!source || cairo_surface_status(source) != CAIRO_STATUS_SUCCESS) return nullptr;
    if (cairo_surface_get_type(source) != CAIRO_SURFACE_TYPE_IMAGE) return nullptr;
    const int width = cairo_image_surface_get_width(source);
    const int height = cairo_image_surface_get_height(source);
    if (width <= 0 || height <= 0) return nullptr;
    CairoSurfacePtr copy = pictureSurfaceCreate(width, height, PictureFill::WrittenByCaller);
    paintCopy(copy.get(), source);
    cairo_surface_flush(copy.get());
    if (cairo_surface_status(copy.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
    return std::make_shared<CGImage>(std::move(copy));
}

CGImagePixel CGImageGetPixelForTesting(const CGImageRef& image, size_t x, size_t y) {
    if (!image || x >= image->width() || y >= image->height()) return {};
    return unpremultiplied(pixelRow(image->surface(), y)[x]);
}

CGImageRef CGImageCreateWithPNGData(std::span<const uint8_t> bytes) {
    if (bytes.empty()) return nullptr;
    ReadCursor cursor{bytes};
    const CairoSurfacePtr decoded(
        cairo_image_surface_create_from_png_stream(readFromSpan, &cursor));
    return CGImageCreateWithSurfaceCopy(decoded.get());
}

CGImageRef CGImageCreateWithPNGFile(const std::filesystem::path& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return nullptr;
    const auto size = std::filesystem::file_size(path, error);
    if (error) return nullptr;
    // istream::read turns a failing read into a flag; reading through the buffer would throw.
    std::vector<uint8_t> bytes(size);
    std::ifstream in(path, std::ios::binary);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size));
    if (!in) return nullptr;
    return CGImageCreateWithPNGData(bytes);
}

std::vector<uint8_t> CGImageCopyPNGData(const CGImageRef& image) {
    std::vector<uint8_t> bytes;
    if (!image) return bytes;
    if (cairo_surface_write_to_png_stream(image->surface(), appendToVector, &bytes) !=
        CAIRO_STATUS_SUCCESS) {
        bytes.clear();
    }
    return bytes;
}

bool CGImageWritePNG(const CGImageRef& image, const std::filesystem::path& path) {
    const std::vector<uint8_t> bytes = CGImageCopyPNGData(image);
    if (bytes.empty()) return false;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out.flush());
}
