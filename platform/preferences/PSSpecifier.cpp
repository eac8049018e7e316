#include "platform/preferences/PSSpecifier.h"

#include <array>

namespace {

constexpr std::array<std::pair<PSCellType, const char*>, 6> kCellNames = {{
    {PSCellType::Group, "PSGroupCell"},
    {PSCellType::Switch, "PSSwitchCell"},
    {PSCellType::LinkList, "PSLinkListCell"},
    {PSCellType::Slider, "PSSliderCell"},
    {PSCellType::Button, "PSButtonCell"},
    {PSCellType::StaticText, "PSStaticTextCell"},
}};

std::string stringProperty(const PSSpecifier& specifier, std::string_view key) {
    const PlistValue* value = specifier.property(key);
    const auto* text = value ? value->as<std::string>() : nullptr;
    return text ? *text : std::string();
}

}  // namespace

std::optional<PSCellType> PSCellTypeNamed(std::string_view name) {
    for (const auto& [type, typeName] : kCellNames) {
        if (name == typeName) return type;
    }
    return std::nullopt;
}

const char* PSCellTypeName(PSCellType type) {
    for (const auto& [known, name] : kCellNames) {
        if (known == type) return name;
    }
    return "";
}

CV_REGISTER_CLASS(PSSpecifier, NSObject)

PSSpecifier::PSSpecifier() : NSObject(class_()) {}

std::string PSSpecifier::key() const { return stringProperty(*this, "key"); }

std::string PSSpecifier::defaults() const { return stringProperty(*this, "defaults"); }

const PlistValue* PSSpecifier::property(std::string_view key) const {
    const auto found = properties_.find(key);
    return found == properties_.end() ? nullptr : &found->second;
}

void PSSpecifier::setProperty(std::string key, PlistValue value) {
    properties_.insert_or_assign(std::move(key), std::move(value));
}

const std::string* PSSpecifier::titleOfValue(const PlistValue& value) const {
    for (const auto& [choice, title] : titles_) {
        if (choice == value) return &title;
    }
    return nullptr;
}
