#pragma once

// Numerals drawn as strokes, so the artwork needs no font and comes out the same everywhere.

#include <cairo.h>

// Height of a digit in glyph units; digits are 6 units wide with 2.6 between them.
constexpr double kDigitHeight = 10;

// Adds the strokes of `number` (0 or more), centred on the origin and `height` pixels tall, to
// the current path in the current space. Stroke the path to draw it.
void addNumberPath(cairo_t* cr, int number, double height);
