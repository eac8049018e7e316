// The support buttons: a mail to the support address with the settings file and the package
// listing attached, and the FAQ page.

#include "panel/crvsettingsListController.h"

#include "panel/PackageListing.h"
#include "platform/messageui/MFMailComposeViewController.h"
#include "platform/uikit/UIApplication.h"

#include <fstream>
#include <iterator>

namespace {

constexpr const char* kSupportAddress = "corvane@quillmoss.example";
constexpr const char* kFAQ = "https://quillmoss.example/corvane/faq";
constexpr const char* kBody =
    "Remember to check FAQ first. Please leave files attached. Email will be filtered if these "
    "lines are not removed.";

std::vector<std::uint8_t> bytesOf(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace

void crvsettingsListController::sendMail(id) {
    auto composer = std::make_shared<MFMailComposeViewController>();
    composer->setMailComposeDelegate(this);
    composer->setSubject("Corvane");
    composer->setToRecipients({kSupportAddress});
    composer->addAttachmentData(bytesOf(PSPreferencesFileOf("com.quillmoss.corvane")),
                                "application/xml", "corvane.plist");
    composer->addAttachmentData(packageListing(), "text/plain", "dpkgl.log");
    composer->setMessageBody(kBody, false);
    presentModalViewController(std::move(composer), true);
}

void crvsettingsListController::mailComposeControllerDidFinish(MFMailComposeViewController*) {
    dismissModalViewControllerAnimated(true);
}

void crvsettingsListController::openFAQ(id) {
    UIApplication::sharedApplication()->openURL(kFAQ);
}
