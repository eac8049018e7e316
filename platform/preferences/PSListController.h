#pragma once

// A list of preference rows, as the Settings application shows a panel: the rows come from a
// specifier property list in the controller's bundle, their values from the preferences files
// under "/User/Library/Preferences/<defaults>.plist" (or their defaults), and a changed value is
// stored back into that file. Subclasses shape the list by overriding specifiers().
//
// The rows call their target through the method tables: a button's action, a value's setter
// ("set" in the list, else setPreferenceValue:specifier:) and getter ("get", else
// readPreferenceValue:), so a subclass answers the selectors its list names.

#include "platform/foundation/NSBundle.h"
#include "platform/preferences/Forward.h"
#include "platform/preferences/PSSpecifier.h"
#include "platform/uikit/UIViewController.h"

#include <memory>
#include <optional>
#include <string_view>

namespace PSListControllerMessage {
inline constinit const PSValueSetter setPreferenceValue{"setPreferenceValue:specifier:"};
inline constinit const PSValueGetter readPreferenceValue{"readPreferenceValue:"};
// A new controller of the class it is sent to, for the Settings application that finds the
// class of a panel by its name.
inline constinit const ClassMessage<std::shared_ptr<PSListController>()> newController{"new"};
}  // namespace PSListControllerMessage

class PSListController : public UIViewController {
public:
    CV_DECLARE_CLASS()

    explicit PSListController(Class cls = class_());

    // The rows in view: the cached list, built on first use. The base builds nothing; a
    // subclass loads its rows here.
    virtual PSSpecifierList& specifiers();
    // Forgets the cached list and asks specifiers() again, so the list follows the values now
    // stored; then shows it.
    void reloadSpecifiers();
    // Localises the rows' titles; the base leaves them as they are.
    virtual PSSpecifierList& localizedSpecifiersForSpecifiers(PSSpecifierList& specifiers);

    // The rows of the specifier list `name`.plist of the bundle, with `target` as the target of
    // their actions and setters, localised (localizedSpecifiersForSpecifiers). A list that cannot be read, or is not a dictionary with an
    // "items" array, gives no rows; an item that is not a row (not a dictionary, an unknown cell,
    // a key or title of the wrong kind) is left out. Each problem writes one log line.
    PSSpecifierList loadSpecifiersFromPlistName(std::string_view name, id target);

    // The value the row shows: the one stored under its key in its defaults file, as the row's
    // kind reads it (a switch a boolean, a slider a real, a choice among integers an integer, by
    // the platform's number conversions), else its default; nil when neither exists. A stored
    // value of a kind that does not convert counts as not stored.
    std::optional<PlistValue> readPreferenceValue(PSSpecifier* specifier);
    // Stores `value` under the row's key in its defaults file, atomically, then posts the row's
    // "PostNotification", if any. A failed write is logged and nothing is posted.
    void setPreferenceValue(PlistValue value, PSSpecifier* specifier);
    // The store alone; false (and logged) when the file could not be written, or the row has no
    // key and defaults to store under.
    bool storePreferenceValue(PlistValue value, PSSpecifier* specifier);

    // The value of `specifier` through its getter, and a change of it through its setter, both
    // sent to its target as a user's change would.
    std::optional<PlistValue> valueOf(PSSpecifier* specifier);
    void setValueOf(PSSpecifier* specifier, PlistValue value);
    // Presses a button row: its action goes to its target, with the row as sender.
    void press(PSSpecifier* specifier);

    // The bundle the list and its strings come from.
    const NSBundle& bundle() const { return bundle_; }
    void setBundle(NSBundle bundle) { bundle_ = std::move(bundle); }

    // The list as a grouped table with `frame` in its superview's coordinates.
    void loadView(CGRect frame) override;
    // Called after the list has been rebuilt: the table shows the new rows.
    virtual void specifiersChanged();
    // Shows the choices of a multiple-choice row on a list of their own, pushed on the
    // navigation stack the controller is in; a tap on one stores it.
    void showChoices(PSSpecifier* specifier);
    // The list of choices shown now, if any.
    PSListItemsController* choices() const;

protected:
    // The cached rows; nil until they are built.
    std::optional<PSSpecifierList> _specifiers;

private:
    NSBundle bundle_{std::filesystem::path()};
    std::shared_ptr<PSTableAdapter> adapter_;
};

// The host path of the preferences file of the defaults domain `defaults`.
std::filesystem::path PSPreferencesFileOf(std::string_view defaults);
