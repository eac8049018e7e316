#include "platform/graphics/PictureMemory.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

namespace {

// The size of a large page, and the least picture worth one.
constexpr size_t kLargePage = size_t{2} << 20;

size_t roundedUp(size_t bytes) {
    return (bytes + kLargePage - 1) / kLargePage * kLargePage;
}

// Maps `bytes` (a multiple of the large page) on a large page's boundary, where the kernel can
// back it with large pages, and asks it to.
void* mapAligned(size_t bytes) {
    const size_t spare = kLargePage;
    void* mapped =
        mmap(nullptr, bytes + spare, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) return nullptr;
    const auto start = reinterpret_cast<uintptr_t>(mapped);
    const uintptr_t aligned = (start + kLargePage - 1) / kLargePage * kLargePage;
    if (aligned > start) munmap(mapped, aligned - start);
    if (const size_t after = start + bytes + spare - (aligned + bytes); after > 0) {
        munmap(reinterpret_cast<void*>(aligned + bytes), after);
    }
    void* memory = reinterpret_cast<void*>(aligned);
    // A kernel without large pages refuses the advice; the memory serves all the same.
    madvise(memory, bytes, MADV_HUGEPAGE);
    return memory;
}

// How many large pictures' memory is kept when they go: two frames and two snapshots of a
// screen, 64 MiB at 1290 × 2796.
constexpr size_t kKeptMappings = 4;

// Under AddressSanitizer memory given back goes back to the system at once, so that a use of it
// still faults.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kUnmapAtOnce = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kUnmapAtOnce = true;
#else
constexpr bool kUnmapAtOnce = false;
#endif
#else
constexpr bool kUnmapAtOnce = false;
#endif

// Large pictures given back, kept for the next picture of the same size. A screen's frames and
// snapshots come and go at a few sizes, and fresh memory costs a fault and a clearing by the
// kernel for each large page (on a virtual machine, at first, the host's as well), where reused
// memory costs a clearing alone.
class KeptMappings {
public:
    // Room for one more than are kept, so that keeping never allocates (it runs where nothing
    // may throw: cairo's release of a surface, a vector's deallocation).
    KeptMappings() { kept_.reserve(kKeptMappings + 1); }

    // A kept mapping of `bytes` (rounded up), cleared if asked; nullptr when none is kept.
    void* take(size_t bytes, PictureFill fill) {
        void* memory = nullptr;
        {
            const std::lock_guard lock(mutex_);
            const auto found = std::find_if(kept_.rbegin(), kept_.rend(),
                                            [&](const Mapping& m) { return m.bytes == bytes; });
            if (found == kept_.rend()) return nullptr;
            memory = found->memory;
            kept_.erase(std::next(found).base());
        }
        if (fill == PictureFill::Cleared) std::memset(memory, 0, bytes);
        return memory;
    }
    // Keeps `memory`, a mapping of `bytes` (rounded up), giving back the oldest kept beyond a few;
    // gives back at once a mapping larger than any screen's picture, or any under a sanitizer,
    // which is to see a use of memory given back.
    void keep(void* memory, size_t bytes) {
        if (kUnmapAtOnce || bytes > kLargestKept) {
            munmap(memory, bytes);
            return;
        }
        Mapping oldest{};
        {
            const std::lock_guard lock(mutex_);
            kept_.push_back({memory, bytes});
            if (kept_.size() <= kKeptMappings) return;
            oldest = kept_.front();
            kept_.erase(kept_.begin());
        }
        munmap(oldest.memory, oldest.bytes);
    }

    // Gives back every kept mapping, for memory that could not be had otherwise.
    void release() {
        const std::lock_guard lock(mutex_);
        for (const Mapping& m : kept_) munmap(m.memory, m.bytes);
        kept_.clear();
    }

private:
    struct Mapping {
        void* memory;
        size_t bytes;
    };
    // Four times the largest phone's screen.
    static constexpr size_t kLargestKept = size_t{64} << 20;
    std::mutex mutex_;
    std::vector<Mapping> kept_;  // oldest first
};

// Never destroyed: pictures may be given back while the program ends.
KeptMappings& keptMappings() {
    static auto* kept = new KeptMappings;
    return *kept;
}

// What a surface over picture memory gives back when cairo lets it go.
struct SurfaceMemory {
    void* memory;
    size_t bytes;
};

const cairo_user_data_key_t kSurfaceMemoryKey{};

void releaseSurfaceMemory(void* data) {
    const auto* owned = static_cast<SurfaceMemory*>(data);
    pictureMemoryFree(owned->memory, owned->bytes);
    delete owned;
}

}  // namespace

void* pictureMemoryAllocate(size_t bytes, PictureFill fill) {
    if (bytes < kLargePage) return std::calloc(bytes > 0 ? bytes : 1, 1);
    if (bytes > size_t(PTRDIFF_MAX) - 2 * kLargePage) return nullptr;
    const size_t rounded = roundedUp(bytes);
    if (void* kept = keptMappings().take(rounded, fill)) return kept;
    if (void* fresh = mapAligned(rounded)) return fresh;
    // Short of memory (or of addresses): what is kept for pictures of other sizes goes back first.
    keptMappings().release();
    return mapAligned(rounded);
}

void pictureMemoryFree(void* memory, size_t bytes) {
    if (!memory) return;
    if (bytes < kLargePage) return std::free(memory);
    keptMappings().keep(memory, roundedUp(bytes));
}

void pictureMemoryReserve(size_t bytes, int count) {
    if (kUnmapAtOnce || bytes < kLargePage || bytes > size_t(PTRDIFF_MAX) - 2 * kLargePage) return;
    const size_t rounded = roundedUp(bytes);
    for (int i = 0; i < std::min(count, int(kKeptMappings)); ++i) {
        void* memory = mapAligned(rounded);
        if (!memory) return;
        // Writing each page is what has the system hand it out.
        std::memset(memory, 0, rounded);
        keptMappings().keep(memory, rounded);
    }
}

CairoSurfacePtr pictureSurfaceCreate(int width, int height, PictureFill fill) {
    const int stride = cairo_format_stride_for_width(CAIRO_FORMAT_ARGB32, width);
    const size_t bytes = stride > 0 && height > 0 ? size_t(stride) * size_t(height) : 0;
    // Pictures too small for a large page, and sizes cairo refuses, are cairo's own to make.
    if (bytes < kLargePage || width > 32767 || height > 32767) {
        return CairoSurfacePtr(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    }
    auto* owned = new (std::nothrow) SurfaceMemory{pictureMemoryAllocate(bytes, fill), bytes};
    if (!owned || !owned->memory) {
        delete owned;
        return CairoSurfacePtr(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    }
    CairoSurfacePtr surface(cairo_image_surface_create_for_data(
        static_cast<unsigned char*>(owned->memory), CAIRO_FORMAT_ARGB32, width, height, stride));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS ||
        cairo_surface_set_user_data(surface.get(), &kSurfaceMemoryKey, owned,
                                    releaseSurfaceMemory) != CAIRO_STATUS_SUCCESS) {
        releaseSurfaceMemory(owned);
        return CairoSurfacePtr(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    }
    return surface;
}
