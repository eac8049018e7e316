#include "platform/messageui/MFMailComposeViewController.h"

#include "platform/foundation/NSLog.h"
#include "platform/messageui/MailComposeSheet.h"
#include "platform/messageui/MailFolder.h"
#include "platform/messageui/MailMessage.h"
#include "platform/uikit/UIImageView.h"
#include "platform/uikit/UIScreen.h"

namespace {

bool canSendMailImplementation(Class, SEL) {
    return MFMailComposeViewController::canSendMail();
}

}  // namespace

Class MFMailComposeViewController::class_() {
    static const Class cls =
        objc_defineClass("MFMailComposeViewController", UIViewController::class_(),
                         {MFMailComposeViewControllerMessage::canSendMail.implementedBy(
                             &canSendMailImplementation)});
    return cls;
}

// Registered as the library loads, as the platform's classes are, so that a host that looks the
// class up by name before making a composer finds it.
[[maybe_unused]] static const Class kRegisteredAtLoad = MFMailComposeViewController::class_();

bool MFMailComposeViewController::canSendMail() {
    return true;
}

MFMailComposeViewController::MFMailComposeViewController(Class cls)
    : UIViewController(cls), sheet_(UIView::create<UIImageView>(UIScreen::mainScreen()->bounds())) {
    setView(sheet_);
    redraw();
}

void MFMailComposeViewController::setToRecipients(std::vector<std::string> recipients) {
    draft_.toRecipients = std::move(recipients);
    redraw();
}

void MFMailComposeViewController::setCcRecipients(std::vector<std::string> recipients) {
    draft_.ccRecipients = std::move(recipients);
    redraw();
}

void MFMailComposeViewController::setSubject(std::string subject) {
    draft_.subject = std::move(subject);
    redraw();
}

void MFMailComposeViewController::setMessageBody(std::string body, bool isHTML) {
    draft_.body = std::move(body);
    draft_.bodyIsHTML = isHTML;
    redraw();
}

void MFMailComposeViewController::addAttachmentData(std::vector<std::uint8_t> data,
                                                    std::string mimeType, std::string fileName) {
    draft_.attachments.push_back({std::move(data), std::move(mimeType), std::move(fileName)});
    redraw();
}

void MFMailComposeViewController::send() {
    std::string error = mailSendingProblem(draft_);
    if (error.empty()) error = store(kMailOutboxFolder);
    if (!error.empty()) NSLog("MFMailComposeViewController: the mail was not sent: " + error);
    finish(error.empty() ? MFMailComposeResultSent : MFMailComposeResultFailed,
           error.empty() ? nullptr : &error);
}

void MFMailComposeViewController::cancel() {
    finish(MFMailComposeResultCancelled, nullptr);
}

void MFMailComposeViewController::saveDraft() {
    const std::string error = store(kMailDraftsFolder);
    if (!error.empty()) NSLog("MFMailComposeViewController: the draft was not saved: " + error);
    finish(error.empty() ? MFMailComposeResultSaved : MFMailComposeResultFailed,
           error.empty() ? nullptr : &error);
}

std::string MFMailComposeViewController::store(std::string_view deviceFolder) {
    const MailFileResult result =
        storeMailFile(deviceFolder, composeMailMessage(draft_, makeMailStamp()));
    if (result.stored()) lastWrittenFile_ = result.file;
    return result.error;
}

void MFMailComposeViewController::finish(MFMailComposeResult result, const std::string* error) {
    // Kept alive for the call: a delegate may let go of itself as it dismisses the composer.
    const std::shared_ptr<NSObject> delegate = delegate_.lock();
    if (!MFMailComposeDelegateMessage::didFinish.isAnsweredBy(delegate.get())) return;
    MFMailComposeDelegateMessage::didFinish.send(delegate.get(), this, result, error);
}

void MFMailComposeViewController::redraw() {
    if (sheet_) sheet_->setImage(drawMailComposeSheet(draft_, sheet_->bounds().size));
}
