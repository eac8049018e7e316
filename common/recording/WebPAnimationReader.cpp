#include "common/recording/WebPAnimationReader.h"

#include <webp/demux.h>

#include <fstream>
#include <iterator>

namespace {

std::vector<uint8_t> readFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

WebPAnimationReader::WebPAnimationReader(const std::filesystem::path& file)
    : bytes_(readFile(file)) {
    WebPAnimDecoderOptions options;
    WebPAnimDecoderOptionsInit(&options);
    options.color_mode = MODE_RGBA;
    options.use_threads = 0;
    const WebPData data{bytes_.data(), bytes_.size()};
    if (!bytes_.empty()) decoder_ = WebPAnimDecoderNew(&data, &options);
    WebPAnimInfo info;
    if (!decoder_ || !WebPAnimDecoderGetInfo(decoder_, &info)) {
        error_ = file.string() + " is missing or is not an animated WebP picture";
        return;
    }
    width_ = static_cast<int>(info.canvas_width);
    height_ = static_cast<int>(info.canvas_height);
    readTiming();
}

WebPAnimationReader::~WebPAnimationReader() {
    if (decoder_) WebPAnimDecoderDelete(decoder_);
}

// Frame durations are in the frame headers, so the demuxer reads them without decoding.
void WebPAnimationReader::readTiming() {
    const WebPDemuxer* demuxer = WebPAnimDecoderGetDemuxer(decoder_);
    WebPIterator frame;
    if (!WebPDemuxGetFrame(demuxer, 1, &frame)) return;
    do {
        starts_.push_back(duration_);
        duration_ += std::chrono::milliseconds(frame.duration);
    } while (WebPDemuxNextFrame(&frame));
    WebPDemuxReleaseIterator(&frame);
}

std::optional<WebPAnimationFrame> WebPAnimationReader::next() {
    if (!decoder_ || !WebPAnimDecoderHasMoreFrames(decoder_)) return std::nullopt;
    uint8_t* rgba = nullptr;
    int end = 0;
    if (!WebPAnimDecoderGetNext(decoder_, &rgba, &end)) return std::nullopt;
    std::vector<CGImagePixel> pixels(static_cast<size_t>(width_) * height_);
    for (size_t i = 0; i < pixels.size(); ++i) {
        pixels[i] = {rgba[4 * i], rgba[4 * i + 1], rgba[4 * i + 2], rgba[4 * i + 3]};
    }
    WebPAnimationFrame result{CGImageCreateWithPixels(width_, height_, pixels), lastEnd_,
                              std::chrono::milliseconds(end)};
    lastEnd_ = result.end;
    return result;
}
