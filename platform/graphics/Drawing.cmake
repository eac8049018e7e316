# Images, bitmap contexts, paths and text on cairo.
target_sources(CoreGraphics PRIVATE
    CGContext.cpp
    CGContextDrawing.cpp
    CGContextText.cpp
    CGImage.cpp
    CGPath.cpp
    PictureMemory.cpp
)
find_package(PkgConfig REQUIRED)
pkg_check_modules(CAIRO REQUIRED IMPORTED_TARGET cairo)
# Text faces are read from their files with FreeType, not matched through fontconfig.
pkg_check_modules(CAIRO_FT REQUIRED IMPORTED_TARGET cairo-ft freetype2)
target_link_libraries(CoreGraphics PUBLIC PkgConfig::CAIRO PRIVATE PkgConfig::CAIRO_FT)
