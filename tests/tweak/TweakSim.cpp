#include "tests/tweak/TweakSim.h"

#include "tests/support/RunProgram.h"

#include <sstream>

std::vector<nlohmann::json> TweakRun::all(const std::string& name) const {
    std::vector<nlohmann::json> result;
    for (const auto& e : events) {
        if (e["ev"] == name) result.push_back(e);
    }
    return result;
}

nlohmann::json TweakRun::lastDump(const std::string& what) const {
    nlohmann::json found;
    for (const auto& e : events) {
        if (e["ev"] == "dump" && e["what"] == what) found = e;
    }
    return found;
}

namespace {
int countViews(const nlohmann::json& view) {
    int count = 1;
    for (const auto& subview : view["subviews"]) count += countViews(subview);
    return count;
}
}  // namespace

int TweakRun::viewCount() const {
    int count = 0;
    const nlohmann::json dump = lastDump("views");  // kept: the loop walks into it
    for (const auto& window : dump["windows"]) count += countViews(window);
    return count;
}

int tweakUnlocks(const TweakRun& run) {
    int count = 0;
    for (const auto& e : run.all("unlock-routine")) count += e["autoUnlock"] == true;
    return count;
}

TweakSim::TweakSim() {
    const std::string folder = "/Library/MobileSubstrate/DynamicLibraries/";
    std::filesystem::create_directories(root_ / folder);
    std::filesystem::copy_file(CORVANE_MODULE_PATH, root_ / (folder + "Corvane.so"));
    std::filesystem::copy_file(CORVANE_MODULE_FILTER, root_ / (folder + "Corvane.plist"));
}

bool TweakSim::installArtwork() {
    const std::filesystem::path artwork = CORVANE_ARTWORK_DIR;
    std::error_code ec;
    if (!std::filesystem::exists(artwork / "CRVBadgeCustomLeft.png", ec)) return false;
    std::filesystem::create_directories(root_ / "/Library/Corvane", ec);
    std::filesystem::copy(artwork, root_ / "/Library/Corvane",
                          std::filesystem::copy_options::recursive, ec);
    return !ec;
}

TweakRun TweakSim::run(const std::string& script) { return runWith(script, {}); }

TweakRun TweakSim::runRecorded(const std::string& script) {
    return runWith(script, {"--record-animation", (root_.path() / "run.webp").string()});
}

TweakRun TweakSim::runWith(const std::string& script, const std::vector<std::string>& more) {
    root_.write("/script.sim", script);
    std::vector<std::string> arguments = {"--root", root_.path().string(), "--script",
                                          (root_.path() / "script.sim").string(), "--record",
                                          (root_.path() / "shots").string()};
    arguments.insert(arguments.end(), more.begin(), more.end());
    const auto result = runProgram(CORVANE_SIM_PATH, arguments, root_.path());
    TweakRun run{result.status, result.err, {}};
    std::istringstream lines(result.out);
    for (std::string line; std::getline(lines, line);) {
        run.events.push_back(nlohmann::json::parse(line));
    }
    return run;
}
