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

namespace {

constexpr const char* kPrefsUpdated = "com.quillmoss.corvane.prefsUpdated";

// Removes the row at `index` `times` times, each removal moving the later rows up. A list too
// short for a removal keeps what it has: a list with fewer rows than the panel expects must not
// take the panel down.
void removeRows(PSSpecifierList& rows, std::size_t index, int times) {
    for (int i = 0; i < times && index < rows.size(); ++i) {
        rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(index));
    }
}

PSSpecifier* rowAt(PSSpecifierList& rows, std::size_t index) {
    return index < rows.size() ? rows[index].get() : nullptr;
}

}  // namespace

crvsettingsListController::crvsettingsListController() : PSListController(class_()) {}

PSSpecifierList& crvsettingsListController::specifiers() {
    if (_specifiers) return *_specifiers;
    _specifiers = loadSpecifiersFromPlistName("crvsettings", this);
    auto& rows = *_specifiers;
    const auto enabled = readPreferenceValue(rowAt(rows, 1));
    if (!(enabled && boolValue(*enabled).value_or(false))) {
        removeRows(rows, 2, 2);
        removeRows(rows, 4, 17);
        return rows;
    }
    const auto stored = readPreferenceValue(rowAt(rows, 8));
    switch (stored ? intValue(*stored).value_or(0) : 0) {
        case 0:  // drag the lock screen
            removeRows(rows, 14, 8);
            break;
        case 1:  // the transparent overlay
            removeRows(rows, 10, 2);
            removeRows(rows, 14, 6);
            break;
        case 2:  // pinch, rotate and the vault have no options of their own
        case 5:
        case 6:
            removeRows(rows, 9, 13);
            break;
        case 3:  // the page peel
            removeRows(rows, 9, 7);
            removeRows(rows, 12, 3);
            break;
        case 4:  // the pull badge
            removeRows(rows, 9, 10);
            break;
        default:
            break;
    }
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
    CFNotificationCenterPostNotification(CFNotificationCenterGetDarwinNotifyCenter(),
                                         kPrefsUpdated, nullptr, nullptr, true);
}

void crvsettingsListController::setEnabled(PlistValue value, PSSpecifier* specifier) {
    setPreferenceValue(std::move(value), specifier);
    reloadSpecifiers();
}

void crvsettingsListController::setHideLockClock(PlistValue value, PSSpecifier* specifier) {
    setPreferenceValue(std::move(value), specifier);
}

void crvsettingsListController::respringButtonClicked(id) { systemCommand("killall SpringBoard"); }

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
