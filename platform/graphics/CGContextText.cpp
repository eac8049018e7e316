// Text set in a rectangle, in DejaVu Sans: one line, or a block broken into lines.

#include <cairo-ft.h>

#include <algorithm>
#include <cmath>
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

// Clips to `rect`, with the text upright in it. The caller saves the state first, so that the
// clip and the flip end with the text.
void beginTextIn(cairo_t* cr, CGRect rect) {
    cairo_rectangle(cr, CGRectGetMinX(rect), CGRectGetMinY(rect), CGRectGetWidth(rect),
                    CGRectGetHeight(rect));
    cairo_clip(cr);
    makeUpright(cr, rect);
}

// Fills the text's outline, the path, in the style's colour with the context's blend mode.
void fillText(const CGContextRef& ctx, const CGTextStyle& style) {
    const CairoPatternPtr source = CGContextCreateColorSource(*ctx, style.color);
    CGContextComposite(*ctx, source.get(), CGContextCurrentOperator(*ctx), CGShape::Fill);
}

// Adds the outline of `text` to the path: vertically centred by the font's line box (ascent over
// descent), like a one-line label, and aligned horizontally by its advance.
void addTextPath(cairo_t* cr, const std::string& text, CGRect rect, CGTextAlignment alignment) {
    cairo_font_extents_t font;
    cairo_text_extents_t extents;
    cairo_font_extents(cr, &font);
    cairo_text_extents(cr, text.c_str(), &extents);
    double x = CGRectGetMidX(rect) - extents.x_advance / 2;
    if (alignment == CGTextAlignment::Left) x = CGRectGetMinX(rect);
    if (alignment == CGTextAlignment::Right) x = CGRectGetMaxX(rect) - extents.x_advance;
    const double baseline = CGRectGetMidY(rect) + (font.ascent - font.descent) / 2;
    cairo_move_to(cr, x, baseline);
    cairo_text_path(cr, text.c_str());
}

}  // namespace

void CGContextShowTextInRect(const CGContextRef& ctx, std::string_view text, CGRect rect,
                             const CGTextStyle& style) {
    if (!ctx || text.empty() || style.fontSize <= 0) return;
    cairo_t* cr = ctx->cairo();
    // The saved state is restored before the kept path is put back, in the user space it was
    // taken in.
    KeptPath kept(cr);
    const CairoStateSaver saver(cr);
    beginTextIn(cr, rect);
    selectFont(cr, style);
    addTextPath(cr, std::string(text), rect, style.alignment);
    fillText(ctx, style);
}

// Blocks of text. Lines are laid out with unhinted advances, so that a block breaks into the same
// lines whatever the scale it is drawn at, and measuring agrees with drawing.

namespace {

constexpr const char* kEllipsis = "\u2026";
// Rounding noise that must not push a line that fits onto the next one.
constexpr double kWidthTolerance = 0.01;

void selectBlockFont(cairo_t* cr, const CGTextStyle& style) {
    selectFont(cr, style);
    const CairoFontOptionsPtr options(cairo_font_options_create());
    cairo_font_options_set_hint_metrics(options.get(), CAIRO_HINT_METRICS_OFF);
    cairo_set_font_options(cr, options.get());
}

// A context of this thread to measure text in when no bitmap is at hand. The context keeps its
// own reference to the surface.
cairo_t* measuringContext() {
    thread_local const CairoContextPtr context = [] {
        const CairoSurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1));
        return CairoContextPtr(cairo_create(surface.get()));
    }();
    return context.get();
}

bool isCharacterStart(std::string_view text, size_t index) {
    return index >= text.size() || (static_cast<unsigned char>(text[index]) & 0xC0) != 0x80;
}

std::string trimmedRight(std::string_view text) {
    const size_t end = text.find_last_not_of(' ');
    return std::string(end == std::string_view::npos ? std::string_view()
                                                     : text.substr(0, end + 1));
}

// A line of a block and where it starts in the text, for whatever follows it.
struct SetLine {
    std::string text;
    size_t start;
};

// Breaks text into lines of one font at one width.
class LineBreaker {
public:
    LineBreaker(cairo_t* cr, CGFloat width) : cr_(cr), width_(width) {}

    // The lines of `text`, at most `limit` of them (0: no limit), as CGTextBreakIntoLines says.
    std::vector<std::string> breakText(std::string_view text, CGLineBreakMode mode, int limit) {
        std::vector<SetLine> lines;
        size_t start = 0;
        while (start <= text.size()) {
            const size_t end = std::min(text.find('\n', start), text.size());
            wrapParagraph(text, start, end, lines);
            start = end + 1;
        }
        std::vector<std::string> result;
        const size_t kept = limit > 0 ? std::min(lines.size(), size_t(limit)) : lines.size();
        for (size_t i = 0; i < kept; ++i) result.push_back(std::move(lines[i].text));
        if (kept < lines.size() && mode == CGLineBreakMode::TruncateTail) {
            result.back() = truncatedTail(restOf(text, lines[kept - 1].start));
        }
        return result;
    }

    double advance(const std::string& text) const {
        cairo_text_extents_t extents;
        cairo_text_extents(cr_, text.c_str(), &extents);
        return extents.x_advance;
    }

    bool fits(const std::string& text) const { return advance(text) <= width_ + kWidthTolerance; }

private:
    // Greedy: each word goes on the line while the line still fits. Spaces where a line breaks
    // are dropped.
    void wrapParagraph(std::string_view text, size_t start, size_t end,
                       std::vector<SetLine>& lines) const {
        std::string line;
        bool open = false;        // whether the line has taken a word (or a leading space)
        bool afterBreak = false;  // whether the line began where the one before was broken
        size_t lineStart = start;
        for (size_t wordStart = start; wordStart <= end;) {
            const size_t wordEnd = std::min(text.find(' ', wordStart), end);
            std::string word(text.substr(wordStart, wordEnd - wordStart));
            const std::string joined = open ? line + " " + word : word;
            if (afterBreak && word.empty()) {
                lineStart = wordEnd + 1;
            } else if (fits(joined)) {
                line = joined;
                open = true;
                afterBreak = false;
            } else {
                if (!trimmedRight(line).empty()) lines.push_back({trimmedRight(line), lineStart});
                lineStart = word.empty() ? wordEnd + 1 : wordStart;
                breakLongWord(word, lineStart, lines);
                line = word;
                open = !word.empty();
                afterBreak = word.empty();
            }
            wordStart = wordEnd + 1;
        }
        lines.push_back({trimmedRight(line), lineStart});
    }

    // Sets the leading pieces of a word wider than a line on lines of their own, leaving the
    // last piece in `word`.
    void breakLongWord(std::string& word, size_t& start, std::vector<SetLine>& lines) const {
        while (!fits(word)) {
            const size_t cut = std::max(longestFittingPrefix(word, ""), nextCharacter(word, 0));
            if (cut >= word.size()) break;
            lines.push_back({word.substr(0, cut), start});
            word.erase(0, cut);
            start += cut;
        }
    }

    static size_t nextCharacter(std::string_view text, size_t index) {
        do {
            ++index;
        } while (!isCharacterStart(text, index));
        return index;
    }

    // The length of the longest prefix of `text`, cut between characters, that fits with
    // `suffix` after it; 0 when none does.
    size_t longestFittingPrefix(const std::string& text, const char* suffix) const {
        std::vector<size_t> cuts;
        for (size_t i = 1; i <= text.size(); ++i) {
            if (isCharacterStart(text, i)) cuts.push_back(i);
        }
        size_t low = 0, high = cuts.size();  // cuts[0, low) fit; cuts[high, end) do not
        while (low < high) {
            const size_t mid = (low + high) / 2;
            if (fits(trimmedRight(text.substr(0, cuts[mid])) + suffix)) {
                low = mid + 1;
            } else {
                high = mid;
            }
        }
        return low == 0 ? 0 : cuts[low - 1];
    }

    // The text from `start` on, its line breaks read as spaces.
    static std::string restOf(std::string_view text, size_t start) {
        std::string rest(text.substr(start));
        std::replace(rest.begin(), rest.end(), '\n', ' ');
        return rest;
    }

    std::string truncatedTail(const std::string& text) const {
        if (fits(text)) return text;
        return trimmedRight(text.substr(0, longestFittingPrefix(text, kEllipsis))) + kEllipsis;
    }

    cairo_t* cr_;
    CGFloat width_;
};

double lineHeightIn(cairo_t* cr) {
    cairo_font_extents_t font;
    cairo_font_extents(cr, &font);
    return font.height;
}

// How many lines of `lineHeight` fit in `height`: at least one, so that a short rect still shows
// the start of its text.
int linesFitting(CGFloat height, double lineHeight) {
    return std::max(1, int(std::floor((height + kWidthTolerance) / lineHeight)));
}

}  // namespace

CGFloat CGTextGetLineHeight(const CGTextStyle& style) {
    if (style.fontSize <= 0) return 0;
    cairo_t* cr = measuringContext();
    selectBlockFont(cr, style);
    return CGFloat(lineHeightIn(cr));
}

std::vector<std::string> CGTextBreakIntoLines(std::string_view text, CGFloat width,
                                              const CGTextStyle& style,
                                              const CGTextBlockLayout& layout) {
    if (text.empty() || style.fontSize <= 0) return {};
    cairo_t* cr = measuringContext();
    selectBlockFont(cr, style);
    return LineBreaker(cr, width).breakText(text, layout.lineBreakMode, layout.maximumLines);
}

CGSize CGTextMeasureBlock(std::string_view text, CGFloat width, const CGTextStyle& style,
                          const CGTextBlockLayout& layout) {
    const std::vector<std::string> lines = CGTextBreakIntoLines(text, width, style, layout);
    if (lines.empty()) return CGSizeZero;
    cairo_t* cr = measuringContext();
    selectBlockFont(cr, style);
    const LineBreaker breaker(cr, width);
    double widest = 0;
    for (const std::string& line : lines) widest = std::max(widest, breaker.advance(line));
    const double height = double(lines.size()) * lineHeightIn(cr);
    return {CGFloat(std::ceil(widest - kWidthTolerance)),
            CGFloat(std::ceil(height - kWidthTolerance))};
}

void CGContextShowTextBlockInRect(const CGContextRef& ctx, std::string_view text, CGRect rect,
                                  const CGTextStyle& style, const CGTextBlockLayout& layout) {
    if (!ctx || text.empty() || style.fontSize <= 0) return;
    cairo_t* cr = ctx->cairo();
    KeptPath kept(cr);
    const CairoStateSaver saver(cr);
    beginTextIn(cr, rect);
    selectBlockFont(cr, style);
    cairo_font_extents_t font;
    cairo_font_extents(cr, &font);
    int limit = linesFitting(CGRectGetHeight(rect), font.height);
    if (layout.maximumLines > 0) limit = std::min(limit, layout.maximumLines);
    LineBreaker breaker(cr, CGRectGetWidth(rect));
    const auto lines = breaker.breakText(text, layout.lineBreakMode, limit);
    for (size_t i = 0; i < lines.size(); ++i) {
        const double advance = breaker.advance(lines[i]);
        double x = CGRectGetMinX(rect);
        if (style.alignment == CGTextAlignment::Center) x = CGRectGetMidX(rect) - advance / 2;
        if (style.alignment == CGTextAlignment::Right) x = CGRectGetMaxX(rect) - advance;
        cairo_move_to(cr, x, CGRectGetMinY(rect) + font.ascent + double(i) * font.height);
        cairo_text_path(cr, lines[i].c_str());
    }
    fillText(ctx, style);
}
