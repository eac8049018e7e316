#pragma once

// What a person has written in the mail composer: the recipients, the subject, the body and the
// attachments, as the host gave them.

#include <cstdint>
#include <string>
#include <vector>

// One attached file: its bytes, its MIME type ("application/xml") and the name it goes by.
struct MailAttachment {
    std::vector<std::uint8_t> data;
    std::string mimeType;
    std::string fileName;
};

struct MailDraft {
    std::vector<std::string> toRecipients;
    std::vector<std::string> ccRecipients;
    std::string subject;
    // UTF-8 text, or HTML when bodyIsHTML.
    std::string body;
    bool bodyIsHTML = false;
    std::vector<MailAttachment> attachments;
};
