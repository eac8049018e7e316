#pragma once

// The mail composer: a view controller that a host fills with recipients, a subject, a body and
// attachments, then presents. The person leaves it by Send, Cancel or Save Draft (the host calls
// send, cancel or saveDraft), and the composer tells its delegate how it ended. The device has
// no mail app: a sent mail becomes a file in the device's outbox, a saved one a file in its
// drafts, where a person or a test can read it.

#include "platform/messageui/Forward.h"
#include "platform/messageui/MailDraft.h"
#include "platform/quartz/WeakRef.h"
#include "platform/runtime/Message.h"
#include "platform/uikit/Forward.h"
#include "platform/uikit/UIViewController.h"

#include <filesystem>
#include <string>
#include <vector>

// How the composer ended, with the platform's values.
enum MFMailComposeResult : int {
    MFMailComposeResultCancelled = 0,
    MFMailComposeResultSaved = 1,
    MFMailComposeResultSent = 2,
    MFMailComposeResultFailed = 3,
};

namespace MFMailComposeDelegateMessage {
// mailComposeController:didFinishWithResult:error:, sent to the delegate when the composer ends.
// The error is the reason a send or save failed, as text, and null otherwise; it lives only for
// the call.
inline constinit const Message<void(MFMailComposeViewController* controller,
                                    MFMailComposeResult result, const std::string* error)>
    didFinish{"mailComposeController:didFinishWithResult:error:"};
}  // namespace MFMailComposeDelegateMessage

namespace MFMailComposeViewControllerMessage {
// +canSendMail, for a host that finds the class by name.
inline constinit const ClassMessage<bool()> canSendMail{"canSendMail"};
}  // namespace MFMailComposeViewControllerMessage

class MFMailComposeViewController : public UIViewController {
public:
    CV_DECLARE_CLASS()

    // Whether the device can send mail: always, since sending only writes a file.
    static bool canSendMail();

    // An empty composer whose view, an image view the size of the main screen, already shows it.
    explicit MFMailComposeViewController(Class cls = class_());

    // The object told how the composer ended, held weakly: nil once it has gone away.
    id mailComposeDelegate() const { return delegate_.get(); }
    void setMailComposeDelegate(id delegate) { delegate_.reset(delegate); }

    // The fields, as the host set them; each setter redraws the view.
    const std::vector<std::string>& toRecipients() const { return draft_.toRecipients; }
    void setToRecipients(std::vector<std::string> recipients);
    const std::vector<std::string>& ccRecipients() const { return draft_.ccRecipients; }
    void setCcRecipients(std::vector<std::string> recipients);
    const std::string& subject() const { return draft_.subject; }
    void setSubject(std::string subject);
    const std::string& messageBody() const { return draft_.body; }
    bool isMessageBodyHTML() const { return draft_.bodyIsHTML; }
    // Sets the body, UTF-8 text or HTML.
    void setMessageBody(std::string body, bool isHTML);
    const std::vector<MailAttachment>& attachments() const { return draft_.attachments; }
    // Adds an attachment after the others.
    void addAttachmentData(std::vector<std::uint8_t> data, std::string mimeType,
                           std::string fileName);
    // Everything the host set, together.
    const MailDraft& draft() const { return draft_; }

    // The host path of the file the last send or save wrote; empty until one succeeds.
    const std::filesystem::path& lastWrittenFile() const { return lastWrittenFile_; }

    // Send: writes the mail into the outbox and tells the delegate Sent, or Failed with the
    // reason when there is no recipient or the file cannot be written.
    void send();
    // Cancel: writes nothing and tells the delegate Cancelled.
    void cancel();
    // Save Draft: writes the mail into the drafts and tells the delegate Saved, or Failed.
    void saveDraft();

private:
    // Writes the mail into `deviceFolder`; answers the reason it could not, or empty.
    std::string store(std::string_view deviceFolder);
    // Tells the delegate, when it answers the message, how the composer ended.
    void finish(MFMailComposeResult result, const std::string* error);
    void redraw();

    MailDraft draft_;
    WeakId delegate_;
    std::shared_ptr<UIImageView> sheet_;
    std::filesystem::path lastWrittenFile_;
};
