#include "tools/artwork/VaultDial.h"

#include "tools/artwork/Noise.h"
#include "tools/artwork/SoftShadow.h"
#include "tools/artwork/StrokeDigits.h"
#include "tools/artwork/Texture.h"

#include <cmath>
#include <initializer_list>
#include <numbers>
#include <utility>

namespace {

constexpr double kPi = std::numbers::pi;
// The picture turns about its centre, so the dial sits exactly there.
constexpr double kCentreX = kVaultWidth / 2.0;
constexpr double kCentreY = kVaultHeight / 2.0;

constexpr double kRimOuter = 124;
constexpr double kRimInner = 112;
constexpr double kTickOuter = 108;
constexpr double kNumberRadius = 89;
constexpr double kInnerRing = 75;
constexpr double kKnobRim = 58;
constexpr double kKnobFace = 51;
constexpr int kScaleDivisions = 100;
constexpr uint32_t kSpinSeed = 0x5917u;

constexpr Rgba kScaleWhite = rgb8(242, 240, 230);
constexpr Rgba kIndexRed = rgb8(226, 52, 44);

using Stops = std::initializer_list<std::pair<double, Rgba>>;

// Angle of scale division `i`: 0 at the top, increasing clockwise.
double divisionAngle(double i) {
    return -kPi / 2 + 2 * kPi * i / kScaleDivisions;
}

void addCircle(cairo_t* cr, double radius) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, kCentreX, kCentreY, radius, 0, 2 * kPi);
}

// Fills the disc of `outer` with a radial gradient running from the centre to `outer`.
void fillDisc(cairo_t* cr, double outer, Stops stops) {
    const CairoPatternPtr gradient(
        cairo_pattern_create_radial(kCentreX, kCentreY, 0, kCentreX, kCentreY, outer));
    for (const auto& [offset, colour] : stops) addStop(gradient.get(), offset, colour);
    cairo_new_path(cr);
    addCircle(cr, outer);
    cairo_set_source(cr, gradient.get());
    cairo_fill(cr);
}

// Fine concentric rings of lighter and darker metal, as a face turned on a lathe shows.
void spinFinish(cairo_t* cr, double outer, double strength) {
    cairo_set_line_width(cr, 1);
    for (int r = 2; r < outer; ++r) {
        const double s = latticeValue(r, 0, kSpinSeed) - 0.5;
        cairo_new_path(cr);
        addCircle(cr, r + 0.5);
        cairo_set_source_rgba(cr, s > 0 ? 1 : 0, s > 0 ? 1 : 0, s > 0 ? 1 : 0,
                              std::abs(s) * strength);
        cairo_stroke(cr);
    }
}

// Alternate light and dark wedges between two radii: the ridges of a knurled grip.
void knurl(cairo_t* cr, double inner, double outer, int ridges, double alpha) {
    for (int i = 0; i < ridges; ++i) {
        const double a0 = 2 * kPi * i / ridges, a1 = 2 * kPi * (i + 0.5) / ridges;
        cairo_new_path(cr);
        cairo_arc(cr, kCentreX, kCentreY, outer, a0, a1);
        cairo_arc_negative(cr, kCentreX, kCentreY, inner, a1, a0);
        cairo_close_path(cr);
        cairo_set_source_rgba(cr, 0, 0, 0, alpha);
        cairo_fill(cr);
    }
}

void paintShadow(cairo_t* cr, double radius, int blur, double opacity) {
    Canvas shape(kVaultWidth, kVaultHeight);
    addCircle(shape.cr(), radius);
    cairo_fill(shape.cr());
    paintSoftShadow(cr, shape.surface(), {.dx = 0, .dy = 0, .radius = blur, .opacity = opacity});
}

void paintRim(cairo_t* cr) {
    const double in = kRimInner / kRimOuter;
    fillDisc(cr, kRimOuter,
             {{in - 0.01, rgb8(40, 44, 50)},
              {in + 0.02, rgb8(120, 126, 134)},
              {0.95, rgb8(236, 239, 242)},
              {0.985, rgb8(160, 166, 173)},
              {1, rgb8(70, 75, 82)}});
    knurl(cr, kRimInner + 2.5, kRimOuter - 0.5, 90, 0.3);
    cairo_set_line_width(cr, 1.2);
    cairo_new_path(cr);
    addCircle(cr, kRimOuter - 0.6);
    cairo_set_source_rgba(cr, 0.12, 0.13, 0.15, 0.9);
    cairo_stroke(cr);
}

void paintFace(cairo_t* cr) {
    fillDisc(cr, kRimInner,
             {{0, rgb8(58, 62, 70)}, {0.7, rgb8(34, 37, 42)}, {1, rgb8(16, 17, 20)}});
    spinFinish(cr, kRimInner, 0.12);
    cairo_new_path(cr);
    addCircle(cr, kRimInner - 0.5);
    cairo_set_line_width(cr, 1.5);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.8);
    cairo_stroke(cr);
}

void paintTicks(cairo_t* cr) {
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    for (int i = 0; i < kScaleDivisions; ++i) {
        const bool ten = i % 10 == 0, five = i % 5 == 0;
        const double length = ten ? 12 : five ? 8.5 : 5;
        const double angle = divisionAngle(i);
        const double c = std::cos(angle), s = std::sin(angle);
        cairo_new_path(cr);
        cairo_move_to(cr, kCentreX + c * kTickOuter, kCentreY + s * kTickOuter);
        cairo_line_to(cr, kCentreX + c * (kTickOuter - length),
                      kCentreY + s * (kTickOuter - length));
        cairo_set_line_width(cr, ten ? 2.2 : five ? 1.6 : 1.0);
        setSourceRgba(cr, i == 0 ? kIndexRed : kScaleWhite);
        cairo_stroke(cr);
    }
}

// Makes the path the outline of number `n`, standing at its division with its top outwards. The
// path stays where it was laid once the dial's own space is back.
void addNumberAtDivision(cairo_t* cr, int n) {
    const double angle = divisionAngle(n);
    const CairoStateSaver saver(cr);
    cairo_translate(cr, kCentreX + kNumberRadius * std::cos(angle),
                    kCentreY + kNumberRadius * std::sin(angle));
    cairo_rotate(cr, angle + kPi / 2);
    cairo_new_path(cr);
    addNumberPath(cr, n, 12);
}

// Numbers stand on the dial with their tops outwards, as engraved on a real dial.
void paintNumbers(cairo_t* cr) {
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_width(cr, 1.7);
    for (int n = 0; n < kScaleDivisions; n += 10) {
        addNumberAtDivision(cr, n);
        setSourceRgba(cr, n == 0 ? kIndexRed : kScaleWhite);
        cairo_stroke(cr);
    }
}

void paintInnerRing(cairo_t* cr) {
    cairo_set_line_width(cr, 1);
    cairo_new_path(cr);
    addCircle(cr, kInnerRing);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.7);
    cairo_stroke(cr);
    cairo_new_path(cr);
    addCircle(cr, kInnerRing + 1);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.16);
    cairo_stroke(cr);
}

void paintKnob(cairo_t* cr) {
    paintShadow(cr, kKnobRim, 8, 0.7);
    const double face = kKnobFace / kKnobRim;
    fillDisc(cr, kKnobRim,
             {{face - 0.01, rgb8(70, 75, 82)},
              {face + 0.03, rgb8(214, 218, 223)},
              {0.94, rgb8(150, 156, 163)},
              {1, rgb8(64, 69, 76)}});
    knurl(cr, kKnobFace + 1, kKnobRim - 0.3, 48, 0.35);
    fillDisc(cr, kKnobFace,
             {{0, rgb8(226, 229, 233)}, {0.8, rgb8(184, 189, 195)}, {1, rgb8(136, 142, 150)}});
    spinFinish(cr, kKnobFace, 0.22);
}

// The bar handle runs through the centre towards 0, so it also points at the number set.
void addHandlePath(cairo_t* cr, double halfLength, double halfWidth) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, kCentreX, kCentreY - halfLength + halfWidth, halfWidth, kPi, 2 * kPi);
    cairo_arc(cr, kCentreX, kCentreY + halfLength - halfWidth, halfWidth, 0, kPi);
    cairo_close_path(cr);
}

void paintHandle(cairo_t* cr) {
    constexpr double halfLength = 66, halfWidth = 11;
    Canvas shape(kVaultWidth, kVaultHeight);
    addHandlePath(shape.cr(), halfLength, halfWidth);
    cairo_fill(shape.cr());
    paintSoftShadow(cr, shape.surface(), {.dx = 0, .dy = 0, .radius = 6, .opacity = 0.75});
    // Rounded like a bar: bright along its middle, darker towards both sides.
    const CairoPatternPtr bar(
        cairo_pattern_create_linear(kCentreX - halfWidth, 0, kCentreX + halfWidth, 0));
    addStop(bar.get(), 0, rgb8(84, 90, 98));
    addStop(bar.get(), 0.3, rgb8(236, 239, 242));
    addStop(bar.get(), 0.5, rgb8(200, 205, 211));
    addStop(bar.get(), 0.75, rgb8(140, 146, 154));
    addStop(bar.get(), 1, rgb8(74, 80, 88));
    cairo_new_path(cr);
    addHandlePath(cr, halfLength, halfWidth);
    cairo_set_source(cr, bar.get());
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 1);
    cairo_set_source_rgba(cr, 0.15, 0.16, 0.18, 0.9);
    cairo_stroke(cr);
}

void paintPointer(cairo_t* cr) {
    const double tip = kCentreY - 60, base = kCentreY - 44;
    cairo_new_path(cr);
    cairo_move_to(cr, kCentreX, tip);
    cairo_line_to(cr, kCentreX + 5, base);
    cairo_line_to(cr, kCentreX - 5, base);
    cairo_close_path(cr);
    setSourceRgba(cr, kIndexRed);
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 0.8);
    cairo_set_source_rgba(cr, 0.35, 0.05, 0.03, 0.9);
    cairo_stroke(cr);
}

void paintCap(cairo_t* cr) {
    paintShadow(cr, 12, 3, 0.6);
    fillDisc(cr, 11,
             {{0, rgb8(250, 251, 252)}, {0.6, rgb8(190, 195, 201)}, {1, rgb8(92, 98, 106)}});
    cairo_new_path(cr);
    addCircle(cr, 10.5);
    cairo_set_line_width(cr, 1);
    cairo_set_source_rgba(cr, 0.15, 0.16, 0.18, 0.9);
    cairo_stroke(cr);
}

}  // namespace

std::unique_ptr<Canvas> drawVaultDial() {
    auto picture = std::make_unique<Canvas>(kVaultWidth, kVaultHeight);
    cairo_t* cr = picture->cr();
    paintShadow(cr, kRimOuter, 8, 0.6);
    paintRim(cr);
    paintFace(cr);
    paintTicks(cr);
    paintNumbers(cr);
    paintInnerRing(cr);
    paintKnob(cr);
    paintHandle(cr);
    paintPointer(cr);
    paintCap(cr);
    return picture;
}
