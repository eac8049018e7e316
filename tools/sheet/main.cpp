// corvane-sheet: a contact sheet of recordings made with corvane-sim --record-animation, one row
// of key frames a recording, as one PNG picture.

#include "platform/graphics/CGImage.h"
#include "tools/sheet/ContactSheet.h"
#include "tools/sheet/KeyFrames.h"

#include <CLI/CLI.hpp>

#include <iostream>

namespace {

// The row of `file`: its name without the extension, its length and `count` key frames; the
// error text in `error` when it cannot be read.
ContactSheetRow rowOf(const std::filesystem::path& file, int count, std::string& error) {
    WebPAnimationReader reader(file);
    if (!reader.error().empty()) {
        error = reader.error();
        return {};
    }
    return {file.stem().string(), reader.duration(),
            readFrames(reader, keyFrameIndices(reader.frameStarts(), count))};
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app(
        "Writes a contact sheet of animated recordings: one row a recording, labelled "
        "with its name and length, of key frames spread over its time (a picture that "
        "holds still counts for at most a quarter second), each captioned with its "
        "time.\n\nExample:\n"
        "  corvane-sheet -o sheet.png drag.webp peel.webp",
        "corvane-sheet");
    std::string output;
    std::vector<std::string> recordings;
    int count = 6;
    double height = 240;
    app.add_option("-o,--output", output, "The PNG file to write")->required();
    app.add_option("--frames", count, "Key frames a row (default 6)")->check(CLI::Range(1, 24));
    app.add_option("--height", height, "Height of a frame in pixels (default 240)")
        ->check(CLI::Range(16, 1024));
    app.add_option("recordings", recordings, "Animated WebP recordings, one row each")->required();
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& help) {
        return app.exit(help);
    } catch (const CLI::ParseError& error) {
        std::cerr << "corvane-sheet: " << error.what() << " (see corvane-sheet --help)\n";
        return 2;
    }
    std::vector<ContactSheetRow> rows;
    for (const auto& file : recordings) {
        std::string error;
        rows.push_back(rowOf(file, count, error));
        if (!error.empty()) {
            std::cerr << "corvane-sheet: " << error << "\n";
            return 2;
        }
    }
    ContactSheetLayout layout;
    layout.frameHeight = height;
    if (!CGImageWritePNG(drawContactSheet(rows, layout), output)) {
        std::cerr << "corvane-sheet: cannot write " << output << "\n";
        return 2;
    }
    return 0;
}
