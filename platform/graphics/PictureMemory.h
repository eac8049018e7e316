#pragma once

// Memory for pictures of a screen's size, laid on the processor's large pages where the system
// offers them.
//
// A frame that turns or curls a picture reads it along slanting lines, a row apart at every few
// pixels: on ordinary 4 KiB pages nearly every read of a large picture needs a page-table entry of
// its own, more than the processor keeps at hand. On 2 MiB pages a whole screen needs a handful.
// Smaller pictures come from the ordinary allocator.

#include "platform/graphics/CairoOwners.h"

#include <cstddef>
#include <new>

// Zeroed memory for `bytes` of picture, or nullptr when there is none to be had. Give it back with
// pictureMemoryFree and the same size.
void* pictureMemoryAllocate(size_t bytes);
void pictureMemoryFree(void* memory, size_t bytes);

// A cleared ARGB32 image surface of `width` × `height` over picture memory; like
// cairo_image_surface_create, a surface in an error state when it cannot be made.
CairoSurfacePtr pictureSurfaceCreate(int width, int height);

// An allocator over picture memory, for a vector that keeps a copy of a frame.
template <typename T>
struct PictureAllocator {
    using value_type = T;

    PictureAllocator() = default;
    template <typename U>
    explicit PictureAllocator(const PictureAllocator<U>&) {}

    T* allocate(size_t count) {
        if (count > size_t(-1) / sizeof(T)) throw std::bad_array_new_length();
        void* memory = pictureMemoryAllocate(count * sizeof(T));
        if (!memory) throw std::bad_alloc();
        return static_cast<T*>(memory);
    }
    void deallocate(T* memory, size_t count) { pictureMemoryFree(memory, count * sizeof(T)); }

    template <typename U>
    bool operator==(const PictureAllocator<U>&) const {
        return true;
    }
};
