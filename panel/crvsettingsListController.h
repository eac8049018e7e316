#pragma once

// The Corvane panel of the Settings application: the options as one list of rows loaded from
// "crvsettings.plist", with the rows that do not apply hidden (the tweak off, or the options of
// another unlock type); every change is stored in the settings file and announced to the tweak.
// Four buttons: the badge colour chooser, the support mail, the FAQ page and a restart of
// SpringBoard.

#include "platform/foundation/RunLoop.h"
#include "platform/preferences/PSListController.h"
#include "platform/uikit/UIColor.h"

#include <memory>
#include <optional>

class MFMailComposeViewController;
class UILabel;
class UISlider;
class UIView;

class crvsettingsListController : public PSListController {
public:
    CV_DECLARE_CLASS()

    // Made when the Settings application opens the panel; from then until it goes, the rows are
    // rebuilt whenever the settings-changed notification arrives.
    crvsettingsListController();
    ~crvsettingsListController() override;

    // The rows, built once and cached: loaded from the list, then those that do not apply to
    // the stored state removed.
    PSSpecifierList& specifiers() override;
    // Stores the value, rebuilds the list and posts the change notification.
    void setPreferenceValue(PlistValue value, PSSpecifier* specifier);
    // The setters of the "cvrEnabled" and "cvrHideLockClock" switches.
    void setEnabled(PlistValue value, PSSpecifier* specifier);
    void setHideLockClock(PlistValue value, PSSpecifier* specifier);
    // Ends SpringBoard so that it starts again with the tweak loaded anew.
    void respringButtonClicked(id sender);
    // Localises the rows' titles and the titles of their choices in place.
    PSSpecifierList& localizedSpecifiersForSpecifiers(PSSpecifierList& specifiers) override;
    // Lets the colour chooser's sliders and labels go.
    void viewDidUnload();

    // The badge colour chooser.
    void chooseColor(id sender);
    void changeColor();
    static UIColorRef defaultBackgroundColor();

    // The support mail and the FAQ page.
    void sendMail(id sender);
    void mailComposeControllerDidFinish(MFMailComposeViewController* controller);
    void openFAQ(id sender);

    // The colour chooser's views, the settings as it last read them, and its colours.
    std::shared_ptr<UISlider> redSlider, blueSlider, greenSlider, alphaSlider;
    std::shared_ptr<UILabel> redLabel, greenLabel, blueLabel, alphaLabel;
    std::shared_ptr<UIView> colorPreview;
    PlistDictionary dict;
    UIColorRef backgroundColor;
    UIColorRef borderColor;
    std::shared_ptr<UILabel> colorHelp;

    // Rebuilds the rows once the notifications that have come are all handled: a flood of
    // changes made elsewhere costs one rebuild, not one each.
    void reloadSoon();

private:
    // The base's store; false (and logged) when the file could not be written.
    bool store(PlistValue value, PSSpecifier* specifier);

    std::optional<RunLoop::TimerId> pendingReload_;
};
