// The panel's list: which rows show, how a change is stored and announced, the restart button,
// and the localisation of the rows. The colour chooser and the support buttons are in files of
// their own.

#include "panel/crvsettingsListController.h"

#include "panel/PanelMessages.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/NumberValues.h"
#include "platform/foundation/SystemCommand.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UISlider.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

namespace {

constexpr const char* kPrefsUpdated = "com.quillmoss.corvane.prefsUpdated";

// The places of the "Enabled" switch and the "Unlock Type" choice in the list as loaded.
constexpr std::size_t kEnabledRow = 1, kUnlockTypeRow = 8;
// Rows from here on show in every state.
constexpr std::size_t kFirstRowAlwaysShown = 23;

// Rows first to last of the list as loaded, both included.
struct RowRange {
    std::size_t first, last;
};

// The rows each state shows, by their place in the list as loaded (rows from 23 on always show).
// The rows 9 to 21 hold the options of particular gestures; a gesture shows its own.
struct Visibility {
    std::optional<std::int32_t> unlockType;  // none: the tweak switched off
    std::vector<RowRange> shown;
};
const std::vector<Visibility>& visibilityTable() {
    static const std::vector<Visibility> table = {
        {std::nullopt, {{0, 1}, {4, 5}}},   // off: the switch and the clock
        {0, {{0, 13}, {22, 22}}},           // drag: direction, animations, distance
        {1, {{0, 9}, {12, 15}, {22, 22}}},  // overlay: direction, distance, opacity
        {2, {{0, 8}, {22, 22}}},            // pinch: nothing of its own
        {3, {{0, 8}, {16, 18}, {22, 22}}},  // peel: turn direction and distance
        {4, {{0, 8}, {19, 21}, {22, 22}}},  // pull badge: direction, design, colour
        {5, {{0, 8}, {22, 22}}},            // rotate: nothing of its own
        {6, {{0, 8}, {22, 22}}},            // vault: nothing of its own
    };
    return table;
}

// The rows shown with the tweak off (no unlock type) or on with `unlockType`; nothing for an
// unlock type the table does not know, which shows every row.
const Visibility* visibilityOf(std::optional<std::int32_t> unlockType) {
    for (const auto& row : visibilityTable()) {
        if (row.unlockType == unlockType) return &row;
    }
    return nullptr;
}

bool isShown(const Visibility& visibility, std::size_t place) {
    if (place >= kFirstRowAlwaysShown) return true;
    return std::any_of(visibility.shown.begin(), visibility.shown.end(),
                       [&](const RowRange& r) { return place >= r.first && place <= r.last; });
}

// Keeps the rows `visibility` shows. A list with fewer rows than the panel expects keeps what it
// has of them: it must not take the panel down.
void keepShownRows(PSSpecifierList& rows, const Visibility& visibility) {
    PSSpecifierList shown;
    for (std::size_t place = 0; place < rows.size(); ++place) {
        if (isShown(visibility, place)) shown.push_back(std::move(rows[place]));
    }
    rows = std::move(shown);
}

PSSpecifier* rowAt(PSSpecifierList& rows, std::size_t index) {
    return index < rows.size() ? rows[index].get() : nullptr;
}

// Another program changed the settings (corvanectl, a script): the rows show what it stored,
// and which rows show follows it too. The panel's own changes come back here as well, and
// rebuild what they have just built.
void settingsChanged(CFNotificationCenterRef, void* observer, CFNotificationName, const void*,
                     CFDictionaryRef) {
    static_cast<crvsettingsListController*>(observer)->reloadSoon();
}

}  // namespace

crvsettingsListController::crvsettingsListController() : PSListController(class_()) {
    CFNotificationCenterAddObserver(CFNotificationCenterGetDarwinNotifyCenter(), this,
                                    settingsChanged, kPrefsUpdated, nullptr,
                                    CFNotificationSuspensionBehaviorDeliverImmediately);
}

crvsettingsListController::~crvsettingsListController() {
    CFNotificationCenterRemoveEveryObserver(CFNotificationCenterGetDarwinNotifyCenter(), this);
    if (pendingReload_) RunLoop::main().cancel(*pendingReload_);
}

void crvsettingsListController::reloadSoon() {
    // Each notification that has come is delivered by an item of the loop of its own, queued
    // before this one.
    if (pendingReload_) return;
    pendingReload_ = RunLoop::main().perform([this] {
        pendingReload_.reset();
        reloadSpecifiers();
    });
}

PSSpecifierList& crvsettingsListController::specifiers() {
    if (_specifiers) return *_specifiers;
    _specifiers = loadSpecifiersFromPlistName("crvsettings", this);
    auto& rows = *_specifiers;
    const auto enabled = readPreferenceValue(rowAt(rows, kEnabledRow));
    std::optional<std::int32_t> state;  // off
    if (enabled && boolValue(*enabled).value_or(false)) {
        const auto stored = readPreferenceValue(rowAt(rows, kUnlockTypeRow));
        state = stored ? intValue(*stored).value_or(0) : 0;
    }
    if (const Visibility* visibility = visibilityOf(state)) keepShownRows(rows, *visibility);
    return rows;
}

bool crvsettingsListController::store(PlistValue value, PSSpecifier* specifier) {
    return storePreferenceValue(std::move(value), specifier);
}

void crvsettingsListController::setPreferenceValue(PlistValue value, PSSpecifier* specifier) {
    const bool stored = store(std::move(value), specifier);
    reloadSpecifiers();
    // The tweak rereads the file on this; a value that could not be stored is not announced.
    if (!stored) return;
    CFNotificationCenterPostNotification(CFNotificationCenterGetDarwinNotifyCenter(), kPrefsUpdated,
                                         nullptr, nullptr, true);
}

void crvsettingsListController::setEnabled(PlistValue value, PSSpecifier* specifier) {
    setPreferenceValue(std::move(value), specifier);
    reloadSpecifiers();
}

void crvsettingsListController::setHideLockClock(PlistValue value, PSSpecifier* specifier) {
    setPreferenceValue(std::move(value), specifier);
}

void crvsettingsListController::respringButtonClicked(id) {
    systemCommand("killall SpringBoard");
}

PSSpecifierList& crvsettingsListController::localizedSpecifiersForSpecifiers(
    PSSpecifierList& specifiers) {
    for (const auto& row : specifiers) {
        if (!row->name().empty()) {
            row->setName(bundle().localizedStringForKey(row->name(), row->name()));
        }
        if (!row->titleDictionary().empty()) {
            PSTitleDictionary localized;
            for (const auto& [value, title] : row->titleDictionary()) {
                localized.emplace_back(value, bundle().localizedStringForKey(title, title));
            }
            row->setTitleDictionary(std::move(localized));
        }
    }
    return specifiers;
}

void crvsettingsListController::viewDidUnload() {
    redSlider.reset();
    greenSlider.reset();
    blueSlider.reset();
    alphaSlider.reset();
    redLabel.reset();
    greenLabel.reset();
    blueLabel.reset();
    alphaLabel.reset();
}
