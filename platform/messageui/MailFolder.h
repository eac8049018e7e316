#pragma once

// Mail files in the device's mail folders. A folder of the device may have been replaced by a
// link to somewhere else, so every folder from the device root down is opened without following
// links: a mail is written inside the root or not at all.

#include <filesystem>
#include <string>
#include <string_view>

// Where the device keeps mails waiting to go out, and drafts.
inline constexpr std::string_view kMailOutboxFolder = "/var/mail/outbox";
inline constexpr std::string_view kMailDraftsFolder = "/var/mail/drafts";

// What came of storing a mail: the host path of the new file, or the reason there is none.
struct MailFileResult {
    std::filesystem::path file;
    std::string error;
    bool stored() const { return error.empty(); }
};

// Stores `bytes` as a new file "<seconds>-<process>-<serial>.eml" (mode 0600) in the device
// folder `deviceFolder`, making the folders that are missing (mode 0700, the root as well). The
// file appears whole or not at all and never replaces a file or a link already there; a folder on
// the way that is a link or not a folder, or any failure to write, stores nothing and says why.
MailFileResult storeMailFile(std::string_view deviceFolder, std::string_view bytes);
