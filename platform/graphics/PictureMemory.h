#pragma once

// Memory for pictures of a screen's size, laid on the processor's large pages where the system
// offers them.
//
// A frame that turns or curls a picture reads it along slanting lines, a row apart at every few
// pixels: on ordinary 4 KiB pages nearly every read of a large picture needs a page-table entry of
// its own, more than the processor keeps at hand. On 2 MiB pages a whole screen needs a handful.
// The memory of the last few large pictures given back is kept for the next ones of their size.
// Smaller pictures come from the ordinary allocator.

#include "platform/graphics/CairoOwners.h"

#include <cstddef>
#include <new>

// What a new picture's memory holds: zeros, or whatever it held before, for a caller that writes
// every byte before it reads any (clearing a whole screen is no small part of copying one).
enum class PictureFill { Cleared, WrittenByCaller };

// Memory for `bytes` of picture, zeroed unless the caller writes it all, or nullptr when there is
// none to be had. Give it back with pictureMemoryFree and the same size.
void* pictureMemoryAllocate(size_t bytes, PictureFill fill = PictureFill::Cleared);
void pictureMemoryFree(void* memory, size_t bytes);
// Has the memory of `count` large pictures of `bytes` each (at most four) handed out by the
// system now, and keeps it for the next pictures of that size: a fresh process's first pictures
// otherwise wait for it (on a virtual machine, a few tenths of a second for a screen's worth).
void pictureMemoryReserve(size_t bytes, int count);

// An ARGB32 image surface of `width` × `height` over picture memory, cleared unless the caller
// writes every pixel; like cairo_image_surface_create, a surface in an error state when it cannot
// be made.
CairoSurfacePtr pictureSurfaceCreate(int width, int height,
                                     PictureFill fill = PictureFill::Cleared);

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
