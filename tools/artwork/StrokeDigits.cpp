#include "tools/artwork/StrokeDigits.h"

#include "platform/graphics/CairoOwners.h"

#include <numbers>
#include <string>

namespace {

constexpr double kDigitWidth = 6;
constexpr double kDigitGap = 2.6;

void addEllipse(cairo_t* cr, double cx, double cy, double rx, double ry) {
    const CairoStateSaver saver(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, rx, ry);
    cairo_new_sub_path(cr);
    cairo_arc(cr, 0, 0, 1, 0, 2 * std::numbers::pi);
}

// One digit in a 6 × 10 box, top left at the origin.
void addDigit(cairo_t* cr, char digit) {
    switch (digit) {
        case '0':
            addEllipse(cr, 3, 5, 3, 5);
            break;
        case '1':
            cairo_move_to(cr, 1.2, 2.2);
            cairo_line_to(cr, 3.6, 0);
            cairo_line_to(cr, 3.6, 10);
            break;
        case '2':
            cairo_move_to(cr, 0.3, 2.4);
            cairo_curve_to(cr, 0.8, -0.6, 5.8, -0.6, 5.8, 2.8);
            cairo_curve_to(cr, 5.8, 5.0, 1.6, 6.8, 0, 10);
            cairo_line_to(cr, 6, 10);
            break;
        case '3':
            cairo_move_to(cr, 0.4, 1.4);
            cairo_curve_to(cr, 1.8, -0.6, 5.6, -0.2, 5.5, 2.5);
            cairo_curve_to(cr, 5.4, 4.3, 3.8, 4.7, 2.4, 4.7);
            cairo_curve_to(cr, 4.6, 4.7, 6.0, 5.8, 5.9, 7.4);
            cairo_curve_to(cr, 5.8, 10.6, 1.2, 10.7, 0.1, 8.6);
            break;
        case '4':
            cairo_move_to(cr, 4.6, 10);
            cairo_line_to(cr, 4.6, 0);
            cairo_line_to(cr, 0, 7);
            cairo_line_to(cr, 6, 7);
            break;
        case '5':
            cairo_move_to(cr, 5.4, 0);
            cairo_line_to(cr, 1.0, 0);
            cairo_line_to(cr, 0.5, 4.6);
            cairo_curve_to(cr, 2.6, 3.2, 6.0, 3.8, 6.0, 6.9);
            cairo_curve_to(cr, 6.0, 10.7, 1.3, 10.7, 0.1, 8.7);
            break;
        case '6':
            cairo_move_to(cr, 5.3, 0.9);
            cairo_curve_to(cr, 3.0, -1.0, 0.0, 0.6, 0.0, 6.8);
            addEllipse(cr, 3, 7.1, 3, 2.9);
            break;
        case '7':
            cairo_move_to(cr, 0, 0);
            cairo_line_to(cr, 6, 0);
            cairo_line_to(cr, 2.2, 10);
            break;
        case '8':
            addEllipse(cr, 3, 2.5, 2.6, 2.5);
            addEllipse(cr, 3, 7.3, 3, 2.7);
            break;
        case '9':
            addEllipse(cr, 3, 2.9, 3, 2.9);
            cairo_move_to(cr, 6.0, 3.2);
            cairo_curve_to(cr, 6.0, 9.4, 3.0, 11.0, 0.7, 9.1);
            break;
        default:
            break;
    }
}

}  // namespace

void addNumberPath(cairo_t* cr, int number, double height) {
    const std::string digits = std::to_string(number < 0 ? 0 : number);
    const double width = digits.size() * kDigitWidth + (digits.size() - 1) * kDigitGap;
    const CairoStateSaver saver(cr);
    cairo_scale(cr, height / kDigitHeight, height / kDigitHeight);
    cairo_translate(cr, -width / 2, -kDigitHeight / 2);
    for (const char digit : digits) {
        addDigit(cr, digit);
        cairo_translate(cr, kDigitWidth + kDigitGap, 0);
    }
}
