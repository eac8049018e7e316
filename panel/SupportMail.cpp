// The support buttons: a mail to the support address with the settings file and the package
// listing attached, and the FAQ page.

#include "panel/crvsettingsListController.h"

#include "panel/PackageListing.h"
#include "platform/foundation/BoundedFileRead.h"
#include "platform/foundation/DeviceRoot.h"
#include "platform/foundation/PropertyList.h"
#include "platform/messageui/MFMailComposeViewController.h"
#include "platform/uikit/UIApplication.h"

#include <string>

namespace {

constexpr const char* kSupportAddress = "corvane@quillmoss.example";
constexpr const char* kFAQ = "https://quillmoss.example/corvane/faq";
const std::string kBody =
    "Remember to check FAQ first. Please leave files attached. Email will be filtered if these "
    "lines are not removed.";

constexpr const char* kSettingsAttachment = "corvane.plist";

// The settings file's bytes for the mail, read as the tweak's loader reads it (without waiting,
// a plain file only, at most what any reader takes) and never through a link, which could lead
// to a file outside the device. What cannot be attached is said in `notes` instead.
std::vector<std::uint8_t> settingsFileBytes(std::string& notes) {
    const auto file = PSPreferencesFileOf("com.quillmoss.corvane");
    const auto read = DeviceRoot::staysInside(file)
                          ? readBoundedFile(file, kMaxPropertyListBytes, FileLinks::Refuse)
                          : BoundedFileBytes{std::nullopt, FileReadProblem::Link};
    if (read.bytes) return {read.bytes->begin(), read.bytes->end()};
    notes += std::string("\n\n") + kSettingsAttachment + " is empty: the settings file " +
             std::string(describeFileReadProblem(read.problem)) +
             (read.problem == FileReadProblem::Link ? " or lies behind one" : "") + ".";
    return {};
}

}  // namespace

void crvsettingsListController::sendMail(id) {
    auto composer = std::make_shared<MFMailComposeViewController>();
    composer->setMailComposeDelegate(this);
    composer->setSubject("Corvane");
    composer->setToRecipients({kSupportAddress});
    std::string notes;
    composer->addAttachmentData(settingsFileBytes(notes), "application/xml", kSettingsAttachment);
    composer->addAttachmentData(packageListing(), "text/plain", "dpkgl.log");
    composer->setMessageBody(kBody + notes, false);
    presentModalViewController(std::move(composer), true);
}

void crvsettingsListController::mailComposeControllerDidFinish(MFMailComposeViewController*) {
    dismissModalViewControllerAnimated(true);
}

void crvsettingsListController::openFAQ(id) {
    UIApplication::sharedApplication()->openURL(kFAQ);
}
