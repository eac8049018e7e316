// loadSettings on a settings file that holds every key, as SpringBoard reads it on each change
// notification.

#include "platform/foundation/DeviceRoot.h"
#include "platform/foundation/NSLog.h"
#include "tweak/settings/CVSettings.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

namespace {

PlistDictionary everyKey() {
    return {
        {"cvrUnlockSound", PlistValue(true)},        {"cvrEnabled", PlistValue(true)},
        {"cvrUnlockDirection", PlistValue(3)},       {"cvrDragDistance", PlistValue(1.2)},
        {"cvrUnlockType", PlistValue(4)},            {"cvrUnlockAnimation", PlistValue(1)},
        {"pageTurnDirection", PlistValue(2)},        {"cvrPullDirection", PlistValue(1)},
        {"cvrBadgeDesign", PlistValue(3)},           {"cvrColor", PlistValue("{0.850, 0.850, 0.850, 0.850}")},
        {"cvrReleaseAnimation", PlistValue(1)},      {"cvrTurnDistance", PlistValue(0.6)},
        {"cvrHideUnlockSlider", PlistValue(true)},   {"cvrHideLockClock", PlistValue(true)},
        {"cvrShowStatusBarClock", PlistValue(true)}, {"cvrOverlayTransparency", PlistValue(0.3)},
    };
}

void loadSettingsFromFile(benchmark::State& state, PlistFormat format) {
    std::string folder = (std::filesystem::temp_directory_path() / "corvane-bench-XXXXXX").string();
    DeviceRoot::set(::mkdtemp(folder.data()));
    writePropertyListFile(DeviceRoot::resolve(kCVSettingsFilePath), PlistValue(everyKey()), format);
    setLogToStandardError(false);  // one "badgeColor=" line per load
    auto& settings = CVSettings::sharedCVSettings();
    for (auto _ : state) {
        settings.loadSettings();
        benchmark::DoNotOptimize(settings.unlockType());
    }
    std::filesystem::remove_all(folder);
}

void BM_LoadSettingsXml(benchmark::State& state) { loadSettingsFromFile(state, PlistFormat::Xml); }
void BM_LoadSettingsBinary(benchmark::State& state) {
    loadSettingsFromFile(state, PlistFormat::Binary);
}
BENCHMARK(BM_LoadSettingsXml);
BENCHMARK(BM_LoadSettingsBinary);

}  // namespace
