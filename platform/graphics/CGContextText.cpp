// One line of text set in a rectangle, in DejaVu Sans.

#include <cairo-ft.h>

#include <string>

#include "platform/graphics/CGContext.h"
#include "platform/graphics/CGContextState.h"

namespace {

constexpr const char* kFontFolder = "/usr/share/fonts/truetype/dejavu/";

const char* fileOf(CGTextWeight weight) {
    switch (weight) {
        case CGTextWeight::Light:
            return "DejaVuSans-ExtraLight.ttf";
        case CGTextWeight::Bold:
            return "DejaVuSans-Bold.ttf";
        default:
            return "DejaVuSans.ttf";
    }
}

FT_Library freeType() {
    static FT_Library library = [] {
        FT_Library made = nullptr;
        return FT_Init_FreeType(&made) == 0 ? made : nullptr;
    }();
    return library;
}

// The face in a DejaVu file, or null when the file is missing or unreadable.
cairo_font_face_t* faceFromFile(const char* name) {
    FT_Face face = nullptr;
    const std::string file = std::string(kFontFolder) + name;
    if (!freeType() || FT_New_Face(freeType(), file.c_str(), 0, &face) != 0) return nullptr;
    return cairo_ft_font_face_create_for_ft_face(face, 0);
}

// The face of `weight`, read straight from its file rather than matched through fontconfig, so
// that text looks the same on every machine with the fonts installed. Without the light face
// (a separate package) text is set in the regular one; without the files, in cairo's own
// "DejaVu Sans". Made once and kept for the life of the process.
cairo_font_face_t* loadFace(CGTextWeight weight) {
    if (cairo_font_face_t* face = faceFromFile(fileOf(weight))) return face;
    if (cairo_font_face_t* face = faceFromFile(fileOf(CGTextWeight::Regular))) return face;
    return cairo_toy_font_face_create(
        "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL,
        weight == CGTextWeight::Bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
}

void selectFont(cairo_t* cr, const CGTextStyle& style) {
    static cairo_font_face_t* const faces[] = {loadFace(CGTextWeight::Light),
                                               loadFace(CGTextWeight::Regular),
                                               loadFace(CGTextWeight::Bold)};
    cairo_set_font_face(cr, faces[static_cast<int>(style.weight)]);
    cairo_set_font_size(cr, style.fontSize);
}

// Glyphs are laid out growing downward. Where user space grows upward on the bitmap (a negative
// determinant), flip about the rect's middle so that the text reads upright and the rect's top
// is its visual top.
void makeUpright(cairo_t* cr, CGRect rect) {
    cairo_matrix_t m;
    cairo_get_matrix(cr, &m);
    if (m.xx * m.yy - m.xy * m.yx >= 0) return;
    cairo_translate(cr, 0, CGRectGetMinY(rect) + CGRectGetMaxY(rect));
    cairo_scale(cr, 1, -1);
}

// Adds the outline of `text` to the path: vertically centred by the font's line box (ascent over
// descent), like a one-line label, and aligned horizontally by its advance.
void addTextPath(cairo_t* cr, const std::string& text, CGRect rect, CGTextAlignment alignment) {
    cairo_font_extents_t font;
    cairo_text_extents_t extents;
    cairo_font_extents(cr, &font);
    cairo_text_extents(cr, text.c_str(), &extents);
    const double x = alignment == CGTextAlignment::Left
                         ? CGRectGetMinX(rect)
                         : CGRectGetMidX(rect) - extents.x_advance / 2;
    const double baseline = CGRectGetMidY(rect) + (font.ascent - font.descent) / 2;
    cairo_move_to(cr, x, baseline);
    cairo_text_path(cr, text.c_str());
}

}  // namespace

void CGContextShowTextInRect(const CGContextRef& ctx, std::string_view text, CGRect rect,
                             const CGTextStyle& style) {
    if (!ctx || text.empty() || style.fontSize <= 0) return;
    cairo_t* cr = ctx->cairo();
    KeptPath kept(cr);
    cairo_save(cr);
    cairo_rectangle(cr, CGRectGetMinX(rect), CGRectGetMinY(rect), CGRectGetWidth(rect),
                    CGRectGetHeight(rect));
    cairo_clip(cr);
    makeUpright(cr, rect);
    selectFont(cr, style);
    addTextPath(cr, std::string(text), rect, style.alignment);
    cairo_pattern_t* source = CGContextCreateColorSource(*ctx, style.color);
    CGContextComposite(*ctx, source, CGContextCurrentOperator(*ctx), CGShape::Fill);
    cairo_pattern_destroy(source);
    cairo_restore(cr);
}
