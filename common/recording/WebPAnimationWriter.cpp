#include "common/recording/WebPAnimationWriter.h"

#include <webp/encode.h>
#include <webp/mux.h>

#include <algorithm>
#include <fstream>
#include <vector>

namespace {

WebPAnimEncoder* newEncoder(int width, int height, const WebPAnimationCompression& compression) {
    WebPAnimEncoderOptions options;
    if (!WebPAnimEncoderOptionsInit(&options)) return nullptr;
    options.anim_params.loop_count = 0;  // for ever
    options.anim_params.bgcolor = 0xFF000000u;
    options.kmax = std::max(1, compression.keyFrameInterval);
    options.kmin = options.kmax - 1;
    return WebPAnimEncoderNew(width, height, &options);
}

WebPConfig configOf(const WebPAnimationCompression& compression) {
    WebPConfig config;
    WebPConfigInit(&config);
    config.lossless = compression.lossless ? 1 : 0;
    config.quality = compression.quality;
    config.method = compression.method;
    return config;
}

// Copies the premultiplied pixels of `surface` into `picture` with every alpha made opaque,
// which is the same as laying them over black. Both hold native 32-bit ARGB words, so the copy
// is the same on either byte order.
void copyOverBlack(cairo_surface_t* surface, WebPPicture& picture) {
    cairo_surface_flush(surface);
    const auto* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < picture.height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride);
        uint32_t* out = picture.argb + static_cast<size_t>(y) * picture.argb_stride;
        for (int x = 0; x < picture.width; ++x) out[x] = row[x] | 0xFF000000u;
    }
}

// `image` as a whole WebP picture of its own, compressed as `config` says; empty when it cannot
// be encoded.
std::vector<uint8_t> stillPicture(const CGImageRef& image, const WebPConfig& config) {
    WebPPicture picture;
    if (!WebPPictureInit(&picture)) return {};
    picture.use_argb = 1;
    picture.width = static_cast<int>(CGImageGetWidth(image));
    picture.height = static_cast<int>(CGImageGetHeight(image));
    if (!WebPPictureAlloc(&picture)) return {};
    copyOverBlack(image->surface(), picture);
    WebPMemoryWriter memory;
    WebPMemoryWriterInit(&memory);
    picture.writer = WebPMemoryWrite;
    picture.custom_ptr = &memory;
    std::vector<uint8_t> bytes;
    if (WebPEncode(&config, &picture)) bytes.assign(memory.mem, memory.mem + memory.size);
    WebPMemoryWriterClear(&memory);
    WebPPictureFree(&picture);
    return bytes;
}

// Replaces the last frame of the animation `data` with `still`, a whole picture that blends with
// nothing before it, kept as long as the frame it replaces. Between whole frames a lossy encoder
// skips pixels that changed only a little, and what a fade leaves behind in those would stay on
// the frame a recording ends on, held for a second. False when the animation cannot be rebuilt.
bool endOnWholeFrame(WebPData& data, const std::vector<uint8_t>& still) {
    WebPMux* mux = WebPMuxCreate(&data, 1);
    if (!mux) return false;
    int frames = 0;
    WebPMuxFrameInfo last;
    bool ok = WebPMuxNumChunks(mux, WEBP_CHUNK_ANMF, &frames) == WEBP_MUX_OK && frames > 0 &&
              WebPMuxGetFrame(mux, static_cast<uint32_t>(frames), &last) == WEBP_MUX_OK;
    if (ok) {
        WebPMuxFrameInfo whole = last;
        whole.bitstream = {still.data(), still.size()};
        whole.x_offset = whole.y_offset = 0;
        whole.dispose_method = WEBP_MUX_DISPOSE_NONE;
        whole.blend_method = WEBP_MUX_NO_BLEND;
        WebPData assembled;
        WebPDataInit(&assembled);
        ok = WebPMuxDeleteFrame(mux, static_cast<uint32_t>(frames)) == WEBP_MUX_OK &&
             WebPMuxPushFrame(mux, &whole, 1) == WEBP_MUX_OK &&
             WebPMuxAssemble(mux, &assembled) == WEBP_MUX_OK;
        if (ok) {
            WebPDataClear(&data);
            data = assembled;
        }
        WebPDataClear(&last.bitstream);
    }
    WebPMuxDelete(mux);
    return ok;
}

}  // namespace

WebPAnimationWriter::WebPAnimationWriter(int width, int height,
                                         WebPAnimationCompression compression)
    : width_(width),
      height_(height),
      compression_(compression),
      encoder_(newEncoder(width, height, compression)) {
    if (!encoder_)
        error_ = "cannot start an animation of " + std::to_string(width) + "×" +
                 std::to_string(height) + " pixels";
}

WebPAnimationWriter::~WebPAnimationWriter() {
    if (encoder_) WebPAnimEncoderDelete(encoder_);
}

bool WebPAnimationWriter::add(const CGImageRef& image, std::chrono::milliseconds start) {
    if (!encoder_) return false;
    if (static_cast<int>(CGImageGetWidth(image)) != width_ ||
        static_cast<int>(CGImageGetHeight(image)) != height_) {
        error_ = "a frame is not the size of the animation";
        return false;
    }
    WebPPicture picture;
    if (!WebPPictureInit(&picture)) return false;
    picture.use_argb = 1;
    picture.width = width_;
    picture.height = height_;
    if (!WebPPictureAlloc(&picture)) {
        error_ = "out of memory for a frame";
        return false;
    }
    copyOverBlack(image->surface(), picture);
    const WebPConfig config = configOf(compression_);
    const bool added =
        WebPAnimEncoderAdd(encoder_, &picture, static_cast<int>(start.count()), &config) != 0;
    if (!added) error_ = WebPAnimEncoderGetError(encoder_);
    WebPPictureFree(&picture);
    if (added) last_ = image;
    return added;
}

std::string WebPAnimationWriter::finish(std::chrono::milliseconds end,
                                        const std::filesystem::path& file) {
    if (!encoder_) return error_.empty() ? "the animation has already been written" : error_;
    WebPData data;
    WebPDataInit(&data);
    if (!WebPAnimEncoderAdd(encoder_, nullptr, static_cast<int>(end.count()), nullptr) ||
        !WebPAnimEncoderAssemble(encoder_, &data)) {
        error_ = WebPAnimEncoderGetError(encoder_);
    } else if (last_ && !endOnWholeFrame(data, stillPicture(last_, configOf(compression_)))) {
        error_ = "cannot store the last frame whole";
    } else {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data.bytes),
                  static_cast<std::streamsize>(data.size));
        if (!out.flush()) error_ = "cannot write " + file.string();
    }
    WebPDataClear(&data);
    WebPAnimEncoderDelete(encoder_);
    encoder_ = nullptr;
    return error_;
}
