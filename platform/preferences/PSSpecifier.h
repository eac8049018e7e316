#pragma once

// One row of a preferences list, as a specifier property list describes it: its kind of cell,
// its title, the key and the defaults domain its value is stored under, its default, the choices
// of a multiple-choice row with their titles, a slider's range, and the selectors its target
// (the list controller) answers for a button's action and a value's setter and getter.

#include "platform/foundation/PropertyList.h"
#include "platform/preferences/Forward.h"
#include "platform/quartz/WeakRef.h"
#include "platform/runtime/Message.h"
#include "platform/runtime/NSObject.h"

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// The kinds of cell a row can be.
enum class PSCellType {
    Group,        // PSGroupCell: starts a group of rows, with an optional header and footer
    Switch,       // PSSwitchCell: a boolean
    LinkList,     // PSLinkListCell: one of a list of choices, picked on a list of its own
    Slider,       // PSSliderCell: a number between a minimum and a maximum
    Button,       // PSButtonCell: sends its action to the target
    StaticText,   // PSStaticTextCell: text only
};

// The cell type named `name` ("PSSwitchCell", ...), if it is one of these.
std::optional<PSCellType> PSCellTypeNamed(std::string_view name);
// The name of `type`.
const char* PSCellTypeName(PSCellType type);

// The messages a row sends its target: a value's setter (setPreferenceValue:specifier: unless the
// row names another), its getter (readPreferenceValue:), and a button's action.
using PSValueSetter = Message<void(PlistValue value, PSSpecifier* specifier)>;
using PSValueGetter = Message<std::optional<PlistValue>(PSSpecifier* specifier)>;
using PSButtonAction = Message<void(id sender)>;

// The choices of a multiple-choice row, each value with its title, in the order of the list.
using PSTitleDictionary = std::vector<std::pair<PlistValue, std::string>>;

class PSSpecifier : public NSObject {
public:
    CV_DECLARE_CLASS()

    PSSpecifier();

    PSCellType cellType() const { return cellType_; }
    void setCellType(PSCellType type) { cellType_ = type; }
    // The row's title; empty for none.
    const std::string& name() const { return name_; }
    void setName(std::string name) { name_ = std::move(name); }
    // The key its value is stored under, and the defaults domain (the settings file's name).
    std::string key() const;
    std::string defaults() const;
    // A property of the row as the list gave it ("default", "min", "footerText", ...); nil for
    // none.
    const PlistValue* property(std::string_view key) const;
    void setProperty(std::string key, PlistValue value);
    const PlistDictionary& properties() const { return properties_; }

    // The choices of a multiple-choice row, with their titles; the title of `value`, if any.
    const PSTitleDictionary& titleDictionary() const { return titles_; }
    void setTitleDictionary(PSTitleDictionary titles) { titles_ = std::move(titles); }
    const std::string* titleOfValue(const PlistValue& value) const;

    // Where the row's messages go (held weakly) and which selectors they are; null for none.
    id target() const { return target_.get(); }
    void setTarget(id target) { target_.reset(target); }
    SEL action() const { return action_; }
    void setAction(SEL action) { action_ = action; }
    SEL setter() const { return setter_; }
    void setSetter(SEL setter) { setter_ = setter; }
    SEL getter() const { return getter_; }
    void setGetter(SEL getter) { getter_ = getter; }

private:
    PSCellType cellType_ = PSCellType::StaticText;
    std::string name_;
    PlistDictionary properties_;
    PSTitleDictionary titles_;
    WeakId target_;
    SEL action_ = nullptr;
    SEL setter_ = nullptr;
    SEL getter_ = nullptr;
};

using PSSpecifierList = std::vector<PSSpecifierRef>;
