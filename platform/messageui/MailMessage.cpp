#include "platform/messageui/MailMessage.h"

#include "platform/messageui/MimeEncoding.h"

#include <algorithm>
#include <string_view>

namespace {

// The longest address a mail server takes.
constexpr std::size_t kMaxAddressLength = 254;
// A longer file name is cut: no file system keeps one, and the parameter must fit on a line.
constexpr std::size_t kMaxFileNameBytes = 255;
constexpr std::size_t kMaxHeaderLine = 78;

std::string trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

// "Name: first, second, …", folded before an address that would take the line past 78
// characters.
std::string addressHeader(std::string_view name, const std::vector<std::string>& addresses) {
    std::string header = std::string(name) + ":";
    std::size_t column = header.size();
    for (std::size_t i = 0; i < addresses.size(); ++i) {
        const std::string& address = addresses[i];
        const std::size_t width = address.size() + (i + 1 < addresses.size() ? 2 : 1);
        if (i > 0 && column + width > kMaxHeaderLine) {
            header += "\r\n";
            column = 0;
        }
        header += " " + address + (i + 1 < addresses.size() ? "," : "");
        column += width;
    }
    return header + "\r\n";
}

bool isTokenCharacter(char c) {
    static constexpr std::string_view kSpecials = "()<>@,;:\\\"/[]?=";
    return c > ' ' && c < 127 && kSpecials.find(c) == std::string_view::npos;
}

// `mimeType` when it is a well-formed "type/subtype", else the type of any bytes: a malformed
// type would break the part's header.
std::string checkedMimeType(std::string_view mimeType) {
    const auto slash = mimeType.find('/');
    const bool wellFormed =
        slash != std::string_view::npos && slash > 0 && slash + 1 < mimeType.size() &&
        std::all_of(mimeType.begin(), mimeType.begin() + slash, isTokenCharacter) &&
        std::all_of(mimeType.begin() + slash + 1, mimeType.end(), isTokenCharacter);
    return wellFormed ? std::string(mimeType) : "application/octet-stream";
}

// The first 255 bytes of `name` at most, not cutting a UTF-8 sequence.
std::string_view fileNameWithinLimit(std::string_view name) {
    if (name.size() <= kMaxFileNameBytes) return name;
    std::size_t cut = kMaxFileNameBytes;
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
    return name.substr(0, cut);
}

std::string textPart(const MailDraft& draft) {
    return std::string("Content-Type: text/") + (draft.bodyIsHTML ? "html" : "plain") +
           "; charset=utf-8\r\n"
           "Content-Transfer-Encoding: quoted-printable\r\n"
           "\r\n" +
           mimeQuotedPrintable(draft.body);
}

std::string attachmentPart(const MailAttachment& attachment) {
    const std::string_view name = fileNameWithinLimit(attachment.fileName);
    std::string type = "Content-Type: " + checkedMimeType(attachment.mimeType);
    std::string disposition = "Content-Disposition: attachment";
    if (!name.empty()) {
        type += ";\r\n " + mimeParameter("name", name);
        disposition += ";\r\n " + mimeParameter("filename", name);
    }
    return type + "\r\nContent-Transfer-Encoding: base64\r\n" + disposition + "\r\n\r\n" +
           mimeBase64Lines(attachment.data);
}

// Each part's headers, blank line and content.
std::vector<std::string> partsOf(const MailDraft& draft) {
    std::vector<std::string> parts{textPart(draft)};
    for (const auto& attachment : draft.attachments) parts.push_back(attachmentPart(attachment));
    return parts;
}

// `boundary`, lengthened until no part holds it (only a file name could).
std::string boundaryOutside(const std::vector<std::string>& parts, std::string boundary) {
    const auto heldBy = [&](const std::string& part) {
        return part.find(boundary) != std::string::npos;
    };
    for (int extra = 0; std::any_of(parts.begin(), parts.end(), heldBy); ++extra) {
        boundary.push_back('_');
        boundary.append(std::to_string(extra));
    }
    return boundary;
}

std::string headersOf(const MailDraft& draft, const MailStamp& stamp, const std::string& boundary) {
    std::string headers = std::string("From: ") + kMailSender + "\r\n";
    const auto to = cleanRecipients(draft.toRecipients);
    const auto cc = cleanRecipients(draft.ccRecipients);
    if (!to.empty()) headers += addressHeader("To", to);
    if (!cc.empty()) headers += addressHeader("Cc", cc);
    headers += "Subject: " + mimeHeaderText("Subject", draft.subject) + "\r\n";
    headers += "Date: " + stamp.date + "\r\n";
    headers += "Message-ID: " + stamp.messageID + "\r\n";
    headers += "MIME-Version: 1.0\r\n";
    headers += "Content-Type: multipart/mixed;\r\n boundary=\"" + boundary + "\"\r\n";
    return headers;
}

}  // namespace

std::vector<std::string> cleanRecipients(const std::vector<std::string>& recipients) {
    std::vector<std::string> clean;
    for (const auto& recipient : recipients) {
        std::string address = trimmed(withoutControlCharacters(recipient));
        if (!address.empty()) clean.push_back(std::move(address));
    }
    return clean;
}

std::string mailSendingProblem(const MailDraft& draft) {
    const auto to = cleanRecipients(draft.toRecipients);
    const auto cc = cleanRecipients(draft.ccRecipients);
    if (to.empty() && cc.empty()) return "the mail has no recipient";
    const auto tooLong = [](const std::string& address) {
        return address.size() > kMaxAddressLength;
    };
    if (std::any_of(to.begin(), to.end(), tooLong) || std::any_of(cc.begin(), cc.end(), tooLong)) {
        return "a recipient's address is longer than 254 characters";
    }
    return {};
}

std::string composeMailMessage(const MailDraft& draft, const MailStamp& stamp) {
    const std::vector<std::string> parts = partsOf(draft);
    const std::string boundary = boundaryOutside(parts, stamp.boundary);
    std::string mail = headersOf(draft, stamp, boundary);
    mail += "\r\nThis is a multi-part message in MIME format.\r\n";
    for (const auto& part : parts) mail += "\r\n--" + boundary + "\r\n" + part;
    mail += "\r\n--" + boundary + "--\r\n";
    return mail;
}
