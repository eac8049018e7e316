#include "tools/artwork/SoftShadow.h"

#include <cstdint>
#include <vector>

namespace {

struct AlphaField {
    int width;
    int height;
    std::vector<float> values;
    float& at(int x, int y) { return values[static_cast<size_t>(y) * width + x]; }
};

AlphaField alphaOf(cairo_surface_t* surface) {
    cairo_surface_flush(surface);
    const int width = cairo_image_surface_get_width(surface);
    const int height = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    AlphaField field{width, height, std::vector<float>(static_cast<size_t>(width) * height)};
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + y * stride);
        for (int x = 0; x < width; ++x) field.at(x, y) = (row[x] >> 24) / 255.0f;
    }
    return field;
}

// One box pass along a line of `count` samples `step` apart; samples past the ends count as
// transparent, so a shape near the border fades out instead of smearing its edge.
void boxLine(float* first, int count, int step, int radius, std::vector<float>& scratch) {
    scratch.assign(count, 0.0f);
    float sum = 0;
    for (int i = -radius; i <= radius; ++i) {
        if (i >= 0 && i < count) sum += first[i * step];
    }
    for (int i = 0; i < count; ++i) {
        scratch[i] = sum / (2 * radius + 1);
        const int leaving = i - radius, entering = i + radius + 1;
        if (leaving >= 0) sum -= first[leaving * step];
        if (entering < count) sum += first[entering * step];
    }
    for (int i = 0; i < count; ++i) first[i * step] = scratch[i];
}

void boxBlur(AlphaField& field, int radius) {
    std::vector<float> scratch;
    for (int y = 0; y < field.height; ++y)
        boxLine(&field.at(0, y), field.width, 1, radius, scratch);
    for (int x = 0; x < field.width; ++x) {
        boxLine(&field.at(x, 0), field.height, field.width, radius, scratch);
    }
}

CairoSurfacePtr toA8(AlphaField& field) {
    CairoSurfacePtr mask(cairo_image_surface_create(CAIRO_FORMAT_A8, field.width, field.height));
    cairo_surface_flush(mask.get());
    const int stride = cairo_image_surface_get_stride(mask.get());
    unsigned char* data = cairo_image_surface_get_data(mask.get());
    for (int y = 0; y < field.height; ++y) {
        for (int x = 0; x < field.width; ++x) {
            data[y * stride + x] = static_cast<unsigned char>(field.at(x, y) * 255.0f + 0.5f);
        }
    }
    cairo_surface_mark_dirty(mask.get());
    return mask;
}

}  // namespace

CairoSurfacePtr blurredAlpha(cairo_surface_t* surface, int radius) {
    AlphaField field = alphaOf(surface);
    if (radius > 0) {
        // Three passes of a box a third as wide spread about as far as one Gaussian of `radius`.
        const int pass = radius / 2 > 0 ? radius / 2 : 1;
        for (int i = 0; i < 3; ++i) boxBlur(field, pass);
    }
    return toA8(field);
}

CairoSurfacePtr innerEdgeMask(cairo_surface_t* shape, int radius) {
    AlphaField coverage = alphaOf(shape);
    AlphaField blurred = coverage;
    const int pass = radius / 2 > 0 ? radius / 2 : 1;
    for (int i = 0; i < 3; ++i) boxBlur(blurred, pass);
    // Deep inside, the blurred coverage is whole; near the edge it drops as the outside seeps in.
    for (size_t i = 0; i < coverage.values.size(); ++i) {
        const float inside = coverage.values[i];
        const float depth = 2.0f * blurred.values[i] - 1.0f;
        coverage.values[i] = inside * (depth < 0.0f ? 1.0f : 1.0f - depth);
    }
    return toA8(coverage);
}

void paintSoftShadow(cairo_t* cr, cairo_surface_t* shape, const ShadowStyle& style) {
    const CairoSurfacePtr mask = blurredAlpha(shape, style.radius);
    const CairoStateSaver saver(cr);
    cairo_identity_matrix(cr);
    cairo_set_source_rgba(cr, 0, 0, 0, style.opacity);
    cairo_mask_surface(cr, mask.get(), style.dx, style.dy);
}
