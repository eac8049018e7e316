// Memory for pictures: surfaces of every size come cleared and whole, large ones on large-page
// boundaries, and sizes cairo refuses are refused as cairo does.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/graphics/PictureMemory.h"

namespace {

constexpr uintptr_t kLargePage = uintptr_t{2} << 20;

TEST(PictureMemory, SurfacesOfEverySizeComeClearedAndWritableToTheirLastByte) {
    const struct {
        int width, height;
    } sizes[] = {{1, 1}, {320, 480}, {724, 724}, {725, 725}, {1290, 2796}, {17, 32767}};
    for (const auto& size : sizes) {
        SCOPED_TRACE(testing::Message() << size.width << "x" << size.height);
        const CairoSurfacePtr surface = pictureSurfaceCreate(size.width, size.height);
        ASSERT_EQ(cairo_surface_status(surface.get()), CAIRO_STATUS_SUCCESS);
        EXPECT_EQ(cairo_image_surface_get_format(surface.get()), CAIRO_FORMAT_ARGB32);
        EXPECT_EQ(cairo_image_surface_get_width(surface.get()), size.width);
        EXPECT_EQ(cairo_image_surface_get_height(surface.get()), size.height);
        const int stride = cairo_image_surface_get_stride(surface.get());
        EXPECT_EQ(stride, cairo_format_stride_for_width(CAIRO_FORMAT_ARGB32, size.width));
        unsigned char* data = cairo_image_surface_get_data(surface.get());
        const size_t bytes = size_t(stride) * size_t(size.height);
        EXPECT_TRUE(std::all_of(data, data + bytes, [](unsigned char b) { return b == 0; }));
        data[bytes - 1] = 0xff;
        if (bytes >= kLargePage) {
            EXPECT_EQ(reinterpret_cast<uintptr_t>(data) % kLargePage, 0u);
        }
    }
}

// Large pictures' memory is kept when they go (or had beforehand) and handed to the next of the
// same size: it comes cleared all the same, however many were given back at once and in whatever
// order of sizes.
TEST(PictureMemory, MemoryGivenBackComesClearedToTheNextPicture) {
    const struct { int width, height; } sizes[] = {{1024, 1024}, {725, 725}, {1290, 1400}};
    pictureMemoryReserve(size_t{4} * 1024 * 1024, 2);
    pictureMemoryReserve(10, 2);  // too small to keep: nothing to do
    for (int round = 0; round < 2; ++round) {
        std::vector<CairoSurfacePtr> held;
        for (const auto& size : sizes) {
            for (int copy = 0; copy < 2; ++copy) {
                CairoSurfacePtr surface = pictureSurfaceCreate(size.width, size.height);
                ASSERT_EQ(cairo_surface_status(surface.get()), CAIRO_STATUS_SUCCESS);
                unsigned char* data = cairo_image_surface_get_data(surface.get());
                const size_t bytes =
                    size_t(cairo_image_surface_get_stride(surface.get())) * size_t(size.height);
                ASSERT_TRUE(std::all_of(data, data + bytes, [](unsigned char b) { return b == 0; }))
                    << "round " << round << ", " << size.width << "x" << size.height;
                std::fill(data, data + bytes, static_cast<unsigned char>(0xA5));
                held.push_back(std::move(surface));
            }
        }
    }
}

TEST(PictureMemory, SizesCairoRefusesGiveSurfacesInAnErrorState) {
    const struct {
        int width, height;
    } sizes[] = {{0, 10}, {10, 0}, {-1, 5}, {40000, 1}, {1, 40000}};
    for (const auto& size : sizes) {
        SCOPED_TRACE(testing::Message() << size.width << "x" << size.height);
        const CairoSurfacePtr surface = pictureSurfaceCreate(size.width, size.height);
        const CairoSurfacePtr cairos(
            cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size.width, size.height));
        EXPECT_EQ(cairo_surface_status(surface.get()), cairo_surface_status(cairos.get()));
    }
}

TEST(PictureMemory, AKeptFrameGrowsAndShrinksWithItsScreen) {
    std::vector<uint32_t, PictureAllocator<uint32_t>> kept;
    for (const size_t count :
         {size_t{320 * 480}, size_t{1290 * 2796}, size_t{16}, size_t{0}, size_t{1290 * 2796}}) {
        kept.assign(count, 0x11223344u);
        EXPECT_EQ(std::count(kept.begin(), kept.end(), 0x11223344u), std::ptrdiff_t(count));
    }
    EXPECT_EQ(reinterpret_cast<uintptr_t>(kept.data()) % kLargePage, 0u);
    EXPECT_THROW(PictureAllocator<uint32_t>().allocate(size_t(-1) / 2), std::bad_array_new_length);
}

}  // namespace
