#include "tools/artwork/Artwork.h"

#include "tools/artwork/Badge.h"
#include "tools/artwork/VaultDial.h"

#include <functional>
#include <memory>
#include <system_error>

namespace {

struct Picture {
    std::string fileName;
    std::function<std::unique_ptr<Canvas>()> draw;
};

std::vector<Picture> pictures() {
    std::vector<Picture> list;
    for (const BadgeDesign& design : badgeDesigns()) {
        for (const PullDirection direction : kPullDirections) {
            list.push_back(
                {std::string("CRVBadge") + design.name + directionName(direction) + ".png",
                 [&design, direction] { return drawBadge(design, direction); }});
        }
    }
    list.push_back({"vault.png", drawVaultDial});
    return list;
}

}  // namespace

std::vector<std::string> artworkFileNames() {
    std::vector<std::string> names;
    for (const Picture& picture : pictures()) names.push_back(picture.fileName);
    return names;
}

std::string writeArtwork(const std::filesystem::path& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) return "cannot create " + folder.string() + ": " + error.message();
    for (const Picture& picture : pictures()) {
        const auto path = folder / picture.fileName;
        if (!picture.draw()->writePng(path)) return "cannot write " + path.string();
    }
    return {};
}
