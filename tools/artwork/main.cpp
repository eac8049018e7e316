// corvane-artwork: draws the badge and vault pictures of the device into a folder.

#include "tools/artwork/Artwork.h"

#include <iostream>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: corvane-artwork OUT_DIR\n";
        return 2;
    }
    const std::string failure = writeArtwork(argv[1]);
    if (!failure.empty()) {
        std::cerr << "corvane-artwork: " << failure << "\n";
        return 1;
    }
    return 0;
}
