// The panel controller's runtime class: the selectors its specifier list and its views send it,
// and the class message by which the Settings application makes one.

#include "panel/crvsettingsListController.h"

#include "panel/PanelMessages.h"
#include "platform/messageui/MFMailComposeViewController.h"

namespace {

crvsettingsListController* controller(id self) { return static_cast<crvsettingsListController*>(self); }

template <void (crvsettingsListController::*Setter)(PlistValue, PSSpecifier*)>
void setter(id self, SEL, PlistValue value, PSSpecifier* specifier) {
    (controller(self)->*Setter)(std::move(value), specifier);
}

template <void (crvsettingsListController::*Action)(id)>
void button(id self, SEL, id sender) {
    (controller(self)->*Action)(sender);
}

void colorSliderMoved(id self, SEL, id, UIEvent*) { controller(self)->changeColor(); }

void mailFinished(id self, SEL, MFMailComposeViewController* composer, MFMailComposeResult,
                  const std::string*) {
    controller(self)->mailComposeControllerDidFinish(composer);
}

std::shared_ptr<PSListController> makeController(Class, SEL) {
    return std::make_shared<crvsettingsListController>();
}

}  // namespace

Class crvsettingsListController::class_() {
    namespace message = crvsettingsMessage;
    using Self = crvsettingsListController;
    static const Class cls = objc_defineClass(
        "crvsettingsListController", PSListController::class_(),
        {PSListControllerMessage::setPreferenceValue.implementedBy(&setter<&Self::setPreferenceValue>),
         message::setEnabled.implementedBy(&setter<&Self::setEnabled>),
         message::setHideLockClock.implementedBy(&setter<&Self::setHideLockClock>),
         message::chooseColor.implementedBy(&button<&Self::chooseColor>),
         message::sendMail.implementedBy(&button<&Self::sendMail>),
         message::openFAQ.implementedBy(&button<&Self::openFAQ>),
         message::respringButtonClicked.implementedBy(&button<&Self::respringButtonClicked>),
         message::changeColor.implementedBy(&colorSliderMoved),
         MFMailComposeDelegateMessage::didFinish.implementedBy(&mailFinished),
         PSListControllerMessage::newController.implementedBy(&makeController)});
    return cls;
}

// The class is registered when the Settings application loads the bundle, so that it finds it
// by the name in the bundle's entry.
[[maybe_unused]] static const Class kRegistered = crvsettingsListController::class_();
