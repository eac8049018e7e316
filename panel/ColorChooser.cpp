// The badge colour chooser: four sliders over a preview swatch, laid over the list. Every
// movement of a slider writes the colour string straight into the settings file; nothing is
// posted, so the tweak takes the colour at its next reload, as the help text says.

#include "panel/crvsettingsListController.h"

#include "colour/UIColorExpandedMessages.h"
#include "panel/PanelMessages.h"
#include "platform/foundation/NSLog.h"
#include "platform/foundation/PreferencesFile.h"
#include "platform/uikit/UIDevice.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UISlider.h"

namespace {

namespace colour = UIColorExpandedMessage;

constexpr const char* kDefaults = "com.quillmoss.corvane";
constexpr const char* kColorKey = "cvrColor";
constexpr const char* kHelp =
    "Color WILL NOT CHANGE until you return to Corvane settings and flip a setting back and forth.";

std::filesystem::path settingsFile() { return PSPreferencesFileOf(kDefaults); }

bool isPad() { return UIDevice::currentDevice()->model() == "iPad"; }

// The settings file as a dictionary: empty when there is none. A file that is there but is not a
// dictionary is left alone: nothing, and the chooser then writes nothing over it.
std::optional<PlistDictionary> readSettings() {
    auto read = readPropertyListFile(settingsFile());
    if (!read.value) {
        if (read.error == PlistReadError::NotFound) return PlistDictionary{};
    } else if (auto* dictionary = read.value->as<PlistDictionary>()) {
        return std::move(*dictionary);
    }
    NSLog("crvsettings: the settings file is not a property-list dictionary; it is left as it is");
    return std::nullopt;
}

// Stores `colour` under "cvrColor" in one transaction with the file as it is now, so that what
// the list or another program stored meanwhile survives; with `onlyWhenMissing`, a colour stored
// meanwhile is kept instead. Answers the dictionary as written (or as found), nothing when the
// file could not be changed.
std::optional<PlistDictionary> storeColour(const std::string& colour, bool onlyWhenMissing) {
    std::optional<PlistDictionary> stored;
    const auto error = editPrefsDictionary(settingsFile(), [&](PlistDictionary& settings) {
        const bool keep = onlyWhenMissing && settings.contains(kColorKey);
        if (!keep) settings.insert_or_assign(kColorKey, PlistValue(colour));
        stored = settings;
        return keep ? PrefsEdit::Keep : PrefsEdit::Write;
    });
    if (!error.empty()) {
        NSLog("crvsettings: " + error);
        return std::nullopt;
    }
    return stored;
}

std::shared_ptr<UISlider> makeSlider(CGFloat chooserWidth, CGFloat centreY, float value, int tag) {
    auto slider = UIView::create<UISlider>(CGRectMake(20, 20, 280, 23));
    slider->setCenter(CGPointMake(chooserWidth * 0.5f, centreY));
    slider->setMinimumValue(0);
    slider->setMaximumValue(1);
    slider->setContinuous(true);
    slider->setValue(value);
    slider->setTag(tag);
    return slider;
}

std::shared_ptr<UILabel> makeLabel(const UISlider& slider, const char* text) {
    const CGRect frame = slider.frame();
    auto label = UIView::create<UILabel>(
        CGRectMake(frame.origin.x, frame.origin.y - 23, 280, 20));
    label->setText(text);
    label->setBackgroundColor(UIColor::clearColor());
    return label;
}

}  // namespace

UIColorRef crvsettingsListController::defaultBackgroundColor() {
    return UIColor::colorWithRed(0.85, 0.85, 0.85, 0.85);
}

void crvsettingsListController::chooseColor(id) {
    const bool pad = isPad();
    const CGFloat width = pad ? 468 : 320;
    auto chooser = UIView::create(CGRectMake(0, 0, width, pad ? 960 : 480));
    if (view()) view()->addSubview(chooser);
    chooser->setBackgroundColor(UIColor::pinStripeColor());

    const auto settings = readSettings();
    dict = settings.value_or(PlistDictionary{});
    if (settings && !dict.contains(kColorKey)) {
        if (const auto text = colour::stringFromColor.send(UIColorRuntimeClass(), defaultBackgroundColor())) {
            dict = storeColour(*text, true).value_or(dict);
        }
    }
    const auto found = dict.find(kColorKey);
    const auto* text = found == dict.end() ? nullptr : found->second.as<std::string>();
    backgroundColor = text ? colour::colorWithString.send(UIColorRuntimeClass(), *text) : nullptr;

    colorPreview = UIView::create(pad ? CGRectMake(30, 40, 200, 80) : CGRectMake(0, 0, 280, 80));
    colorPreview->setCenter(CGPointMake(width * 0.5f, colorPreview->frame().size.height * 0.25f));
    colorPreview->layer()->setCornerRadius(10);
    colorPreview->layer()->setBorderColor(borderColor ? borderColor->CGColor() : nullptr);
    colorPreview->layer()->setBorderWidth(3);
    colorPreview->setBackgroundColor(backgroundColor);

    const Class category = UIColorRuntimeClass();
    const CGFloat previewY = colorPreview->center().y;
    redSlider = makeSlider(width, previewY + 100, colour::red.send(category, backgroundColor),
                           crvsettingsRedSlider);
    greenSlider = makeSlider(width, redSlider->center().y + 50,
                             colour::green.send(category, backgroundColor), crvsettingsGreenSlider);
    blueSlider = makeSlider(width, greenSlider->center().y + 50,
                            colour::blue.send(category, backgroundColor), crvsettingsBlueSlider);
    alphaSlider = makeSlider(width, blueSlider->center().y + 50,
                             colour::alpha.send(category, backgroundColor), crvsettingsAlphaSlider);
    for (UISlider* slider : {alphaSlider.get(), greenSlider.get(), blueSlider.get(), redSlider.get()}) {
        slider->addTarget(this, crvsettingsMessage::changeColor.selector(),
                          UIControlEventValueChanged);
    }

    redLabel = makeLabel(*redSlider, "Red");
    greenLabel = makeLabel(*greenSlider, "Green");
    blueLabel = makeLabel(*blueSlider, "Blue");
    alphaLabel = makeLabel(*alphaSlider, "Alpha");
    colorHelp = UIView::create<UILabel>(
        CGRectMake(0, alphaSlider->frame().origin.y + 10, width, 160));
    colorHelp->setText(kHelp);
    colorHelp->setLineBreakMode(UILineBreakModeWordWrap);
    colorHelp->setNumberOfLines(0);
    colorHelp->setBackgroundColor(UIColor::clearColor());

    for (const std::shared_ptr<UIView>& child :
         std::initializer_list<std::shared_ptr<UIView>>{redLabel, greenLabel, blueLabel, alphaLabel,
                                                         colorPreview, redSlider, blueSlider,
                                                         greenSlider, alphaSlider, colorHelp}) {
        chooser->addSubview(child);
    }
}

void crvsettingsListController::changeColor() {
    auto color = UIColor::colorWithRed(redSlider ? redSlider->value() : 0,
                                       greenSlider ? greenSlider->value() : 0,
                                       blueSlider ? blueSlider->value() : 0,
                                       alphaSlider ? alphaSlider->value() : 0);
    if (colorPreview) colorPreview->setBackgroundColor(color);
    backgroundColor = color;
    const auto text = colour::stringFromColor.send(UIColorRuntimeClass(), color);
    if (!text) return;
    if (auto stored = storeColour(*text, false)) dict = std::move(*stored);
}
