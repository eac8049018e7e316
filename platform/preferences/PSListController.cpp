#include "platform/preferences/PSListController.h"

#include "platform/foundation/DeviceRoot.h"
#include "platform/foundation/NSLog.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/NumberValues.h"
#include "platform/foundation/PreferencesFile.h"
#include "platform/preferences/PSListItemsController.h"
#include "platform/preferences/PSTableAdapter.h"
#include "platform/preferences/SpecifierListLoader.h"
#include "platform/uikit/UINavigationController.h"
#include "platform/uikit/UITableView.h"

#include <algorithm>
#include <type_traits>

namespace {

std::optional<PlistValue> readPreferenceValueImplementation(id self, SEL, PSSpecifier* specifier) {
    return static_cast<PSListController*>(self)->readPreferenceValue(specifier);
}

void setPreferenceValueImplementation(id self, SEL, PlistValue value, PSSpecifier* specifier) {
    static_cast<PSListController*>(self)->setPreferenceValue(std::move(value), specifier);
}

// Whether every choice of the row is a value of kind T.
template <typename T>
bool choicesAre(const PSSpecifier& row) {
    const auto& choices = row.titleDictionary();
    return !choices.empty() && std::all_of(choices.begin(), choices.end(), [](const auto& choice) {
        return choice.first.template as<T>() != nullptr;
    });
}

template <typename T>
std::optional<PlistValue> converted(const std::optional<T>& value) {
    if (!value) return std::nullopt;
    if constexpr (std::is_same_v<T, std::int32_t>) return PlistValue(std::int64_t{*value});
    else return PlistValue(*value);
}

// A stored value as the row's kind reads it, by the platform's number conversions, the same ones
// the readers of the settings use: a switch holds a boolean, a slider a real, a choice among
// integers an integer. A value of a kind that does not convert (an array where a boolean
// belongs, a real that is not finite) reads as nothing, as it does for every other reader of the
// file, and the row then shows its default.
std::optional<PlistValue> asRowReads(const PSSpecifier& row, const PlistValue& stored) {
    switch (row.cellType()) {
        case PSCellType::Switch:
            return converted(boolValue(stored));
        case PSCellType::Slider:
            return converted(doubleValue(stored));
        case PSCellType::LinkList:
            if (choicesAre<std::int64_t>(row)) return converted(intValue(stored));
            if (choicesAre<double>(row)) return converted(doubleValue(stored));
            return stored;
        default:
            return stored;
    }
}

}  // namespace

Class PSListController::class_() {
    static const Class cls = objc_defineClass(
        "PSListController", UIViewController::class_(),
        {PSListControllerMessage::readPreferenceValue.implementedBy(
             &readPreferenceValueImplementation),
         PSListControllerMessage::setPreferenceValue.implementedBy(
             &setPreferenceValueImplementation)});
    return cls;
}

PSListController::PSListController(Class cls) : UIViewController(cls) {}

std::filesystem::path PSPreferencesFileOf(std::string_view defaults) {
    return DeviceRoot::resolve("/User/Library/Preferences/" + std::string(defaults) + ".plist");
}

PSSpecifierList& PSListController::specifiers() {
    if (!_specifiers) _specifiers.emplace();
    return *_specifiers;
}

void PSListController::loadView(CGRect frame) {
    auto table = UIView::create<UITableView>(frame);
    adapter_ = std::make_shared<PSTableAdapter>(this);
    table->setDataSource(adapter_);
    table->setDelegate(adapter_);
    setView(table);
    adapter_->reload(*table);
}

void PSListController::specifiersChanged() {
    if (auto* table = objc_cast<UITableView>(view().get()); table && adapter_) {
        adapter_->reload(*table);
    }
}

void PSListController::showChoices(PSSpecifier* specifier) {
    auto* navigation = navigationController();
    if (!specifier || !navigation) return;
    navigation->pushViewController(std::make_shared<PSListItemsController>(this, specifier), true);
}

PSListItemsController* PSListController::choices() const {
    auto* navigation = navigationController();
    return navigation ? objc_cast<PSListItemsController>(navigation->topViewController()) : nullptr;
}

void PSListController::reloadSpecifiers() {
    _specifiers.reset();
    specifiers();
    specifiersChanged();
}

PSSpecifierList& PSListController::localizedSpecifiersForSpecifiers(PSSpecifierList& specifiers) {
    return specifiers;
}

PSSpecifierList PSListController::loadSpecifiersFromPlistName(std::string_view name, id target) {
    auto rows = PSLoadSpecifierList(bundle_.pathForResource(name, "plist"), target);
    localizedSpecifiersForSpecifiers(rows);
    return rows;
}

std::optional<PlistValue> PSListController::readPreferenceValue(PSSpecifier* specifier) {
    if (!specifier) return std::nullopt;
    const std::string key = specifier->key();
    if (!key.empty() && !specifier->defaults().empty()) {
        const auto file = readPropertyListDictionary(PSPreferencesFileOf(specifier->defaults()));
        if (file) {
            const auto found = file->find(key);
            if (found != file->end()) {
                if (auto value = asRowReads(*specifier, found->second)) return value;
            }
        }
    }
    if (const PlistValue* fallback = specifier->property("default")) return *fallback;
    return std::nullopt;
}

bool PSListController::storePreferenceValue(PlistValue value, PSSpecifier* specifier) {
    if (!specifier || specifier->key().empty() || specifier->defaults().empty()) return false;
    const auto error =
        setPrefsValue(PSPreferencesFileOf(specifier->defaults()), specifier->key(), std::move(value));
    if (!error.empty()) NSLog("Preferences: " + error);
    return error.empty();
}

void PSListController::setPreferenceValue(PlistValue value, PSSpecifier* specifier) {
    if (!storePreferenceValue(std::move(value), specifier)) return;
    const PlistValue* notification = specifier->property("PostNotification");
    if (const auto* name = notification ? notification->as<std::string>() : nullptr) {
        CFNotificationCenterPostNotification(CFNotificationCenterGetDarwinNotifyCenter(), *name,
                                             nullptr, nullptr, true);
    }
}

std::optional<PlistValue> PSListController::valueOf(PSSpecifier* specifier) {
    if (!specifier) return std::nullopt;
    const SEL getter = specifier->getter() ? specifier->getter()
                                           : PSListControllerMessage::readPreferenceValue.selector();
    const id target = specifier->target() ? specifier->target() : this;
    if (!target->respondsToSelector(getter)) return std::nullopt;
    return PSValueGetter::Shape::send(target, getter, specifier);
}

void PSListController::setValueOf(PSSpecifier* specifier, PlistValue value) {
    if (!specifier) return;
    const SEL setter = specifier->setter() ? specifier->setter()
                                           : PSListControllerMessage::setPreferenceValue.selector();
    const id target = specifier->target() ? specifier->target() : this;
    if (!target->respondsToSelector(setter)) return;
    PSValueSetter::Shape::send(target, setter, std::move(value), specifier);
}

void PSListController::press(PSSpecifier* specifier) {
    if (!specifier || !specifier->action()) return;
    const id target = specifier->target() ? specifier->target() : this;
    if (!target->respondsToSelector(specifier->action())) return;
    PSButtonAction::Shape::send(target, specifier->action(), specifier);
}
