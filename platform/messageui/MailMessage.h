#pragma once

// A draft as a mail file: an Internet message whose body is a MIME multipart/mixed holding the
// text and then each attachment, in 7-bit lines ending in CRLF.

#include "platform/messageui/MailDraft.h"
#include "platform/messageui/MailStamp.h"

#include <string>
#include <vector>

// The sender of every mail the device writes.
inline constexpr const char* kMailSender = "Corvane Device <mobile@corvane.invalid>";

// The recipients as they go in a header: control characters made spaces, spaces trimmed, empty
// ones left out.
std::vector<std::string> cleanRecipients(const std::vector<std::string>& recipients);

// Why `draft` cannot be sent ("the mail has no recipient"), or empty when it can.
std::string mailSendingProblem(const MailDraft& draft);

// The whole mail file of `draft` stamped with `stamp`.
std::string composeMailMessage(const MailDraft& draft, const MailStamp& stamp);
