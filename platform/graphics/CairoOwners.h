#pragma once

// Owners for cairo's reference-counted objects and its state stack, so that every object made is
// let go of, and every saved state restored, on each way out of a scope.
//
// Each owner holds one reference, the one that cairo's create and copy functions hand out; `get()`
// lends the object to cairo calls without giving the reference away. This header needs nothing but
// cairo, so that tools which draw with cairo alone can use it too.

#include <cairo.h>

#include <memory>

namespace CairoOwnersDetail {

// Lets go of a cairo object with the function that cairo pairs with its making.
template <auto release>
struct Release {
    template <typename Object>
    void operator()(Object* object) const {
        release(object);
    }
};

}  // namespace CairoOwnersDetail

// An owned image or group surface.
using CairoSurfacePtr =
    std::unique_ptr<cairo_surface_t, CairoOwnersDetail::Release<cairo_surface_destroy>>;
// An owned drawing context.
using CairoContextPtr = std::unique_ptr<cairo_t, CairoOwnersDetail::Release<cairo_destroy>>;
// An owned source or mask pattern, as cairo_pattern_create_* and cairo_pop_group make them.
using CairoPatternPtr =
    std::unique_ptr<cairo_pattern_t, CairoOwnersDetail::Release<cairo_pattern_destroy>>;
// An owned copy of a context's path, as cairo_copy_path makes it.
using CairoPathPtr = std::unique_ptr<cairo_path_t, CairoOwnersDetail::Release<cairo_path_destroy>>;
// An owned set of font options.
using CairoFontOptionsPtr =
    std::unique_ptr<cairo_font_options_t, CairoOwnersDetail::Release<cairo_font_options_destroy>>;
// An owned copy of a context's clip as rectangles, as cairo_copy_clip_rectangle_list makes it.
using CairoRectangleListPtr =
    std::unique_ptr<cairo_rectangle_list_t,
                    CairoOwnersDetail::Release<cairo_rectangle_list_destroy>>;

// Saves the state of a context (matrix, clip, source, operator, line and font settings) when it
// is made and restores it when it goes, so that drawing in between cannot leak its settings into
// what is drawn after. The path is not part of that state.
class CairoStateSaver {
public:
    explicit CairoStateSaver(cairo_t* cr) : cr_(cr) { cairo_save(cr_); }
    ~CairoStateSaver() { cairo_restore(cr_); }
    CairoStateSaver(const CairoStateSaver&) = delete;
    CairoStateSaver& operator=(const CairoStateSaver&) = delete;

private:
    cairo_t* cr_;
};
