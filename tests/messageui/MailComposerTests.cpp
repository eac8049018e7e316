// The mail composer as the settings panel uses it: what reaches the delegate, and the mail files
// it writes, read back by a real mail reader (Python's email package).

#include "platform/graphics/CGImage.h"
#include "platform/messageui/MFMailComposeViewController.h"
#include "platform/messageui/MailMessage.h"
#include "platform/uikit/UIImageView.h"
#include "platform/uikit/UIScreen.h"
#include "tests/support/RunProgram.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Ending {
    MFMailComposeResult result;
    bool hasError;
    std::string error;
    bool operator==(const Ending&) const = default;
};

// A delegate that records how each composer ended.
class RecordingDelegate : public NSObject {
public:
    static Class class_();
    RecordingDelegate() : NSObject(class_()) {}
    std::vector<Ending> endings;
};

void recordEnding(id self, SEL, MFMailComposeViewController*, MFMailComposeResult result,
                  const std::string* error) {
    static_cast<RecordingDelegate*>(self)->endings.push_back(
        {result, error != nullptr, error ? *error : ""});
}

Class RecordingDelegate::class_() {
    static const Class cls =
        objc_defineClass("TestMailComposeDelegate", NSObject::class_(),
                         {MFMailComposeDelegateMessage::didFinish.implementedBy(&recordEnding)});
    return cls;
}

// A delegate that does not answer the message.
class SilentDelegate : public NSObject {
public:
    SilentDelegate()
        : NSObject(objc_defineClass("TestSilentMailDelegate", NSObject::class_(), {})) {}
};

const Ending kSent{MFMailComposeResultSent, false, ""};
const Ending kCancelled{MFMailComposeResultCancelled, false, ""};

std::vector<std::uint8_t> bytesOf(std::string_view text) {
    return {text.begin(), text.end()};
}

const std::string kSettingsPlist =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n"
    "\t<key>cvrUnlockType</key>\n\t<integer>3</integer>\n</dict>\n</plist>\n";
const std::string kPackageList = "ii  com.quillmoss.corvane  0.1  iphoneos-arm  Corvane\n";

// The settings panel's support mail, told to `delegate`.
std::shared_ptr<MFMailComposeViewController> supportMail(id delegate) {
    auto mail = std::make_shared<MFMailComposeViewController>();
    mail->setMailComposeDelegate(delegate);
    mail->setToRecipients({"support@quillmoss.invalid"});
    mail->setSubject("Corvane 0.1 support");
    mail->setMessageBody("Describe the problem here.\n", false);
    mail->addAttachmentData(bytesOf(kSettingsPlist), "application/xml", "corvane.plist");
    mail->addAttachmentData(bytesOf(kPackageList), "text/plain", "dpkgl.log");
    return mail;
}

// Every file and link under `folder`, recursively (not the folders themselves).
std::vector<fs::path> entriesUnder(const fs::path& folder) {
    std::vector<fs::path> found;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(folder, ec); !ec && it != fs::end(it);
         it.increment(ec)) {
        if (!it->is_directory() || it->is_symlink()) found.push_back(it->path());
    }
    return found;
}

// The entries of one folder, hidden ones included; none when it is missing.
std::vector<fs::path> entriesIn(const fs::path& folder) {
    std::vector<fs::path> found;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) found.push_back(entry.path());
    std::sort(found.begin(), found.end());
    return found;
}

// The mail file as a mail reader sees it (see read_mail.py).
nlohmann::json readMail(const TemporaryRoot& root, const fs::path& file) {
    const auto run = runProgram(PYTHON3_PATH, {READ_MAIL_SCRIPT, file.string()}, root.path());
    EXPECT_EQ(run.status, 0) << run.err;
    return nlohmann::json::parse(run.out, nullptr, false);
}

nlohmann::json attachmentJson(const std::string& name, const std::string& type,
                              const std::vector<std::uint8_t>& data) {
    return {{"filename", name}, {"content_type", type}, {"data", data}};
}

// The header line that starts with `name`, without the name, or empty.
std::string headerLine(const std::string& mail, const std::string& name) {
    const auto at = mail.find("\r\n" + name);
    if (at == std::string::npos) return {};
    const auto start = at + 2 + name.size();
    return mail.substr(start, mail.find("\r\n", start) - start);
}

TEST(MFMailComposeViewController, SendWritesOneMailWithBothAttachmentsAndTellsTheDelegateSent) {
    TemporaryRoot root;
    RecordingDelegate delegate;
    auto mail = supportMail(&delegate);
    mail->send();

    EXPECT_EQ(delegate.endings, std::vector<Ending>{kSent});
    const auto outbox = entriesIn(root / "var/mail/outbox");
    ASSERT_EQ(outbox.size(), 1u);
    EXPECT_EQ(outbox[0], mail->lastWrittenFile());
    EXPECT_EQ(outbox[0].extension(), ".eml");
    EXPECT_EQ(fs::symlink_status(outbox[0]).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);

    const auto read = readMail(root, outbox[0]);
    EXPECT_EQ(read["defects"], nlohmann::json::array());
    EXPECT_EQ(read["from"], kMailSender);
    EXPECT_EQ(read["to"], "support@quillmoss.invalid");
    EXPECT_EQ(read["subject"], "Corvane 0.1 support");
    EXPECT_EQ(read["date_parses"], true);
    EXPECT_TRUE(read["message_id"].get<std::string>().ends_with("@corvane.invalid>"));
    EXPECT_EQ(read["content_type"], "multipart/mixed");
    EXPECT_EQ(read["body_type"], "text/plain");
    EXPECT_EQ(read["body"], "Describe the problem here.\n");
    EXPECT_EQ(read["attachments"],
              nlohmann::json::array(
                  {attachmentJson("corvane.plist", "application/xml", bytesOf(kSettingsPlist)),
                   attachmentJson("dpkgl.log", "text/plain", bytesOf(kPackageList))}));
}

TEST(MFMailComposeViewController, CancelWritesNothingAndTellsTheDelegateCancelled) {
    TemporaryRoot root;
    RecordingDelegate delegate;
    supportMail(&delegate)->cancel();
    EXPECT_EQ(delegate.endings, std::vector<Ending>{kCancelled});
    EXPECT_EQ(entriesUnder(root.path()), std::vector<fs::path>{});
}

TEST(MFMailComposeViewController, EverySendWritesAMailOfItsOwn) {
    TemporaryRoot root;
    RecordingDelegate delegate;
    auto first = supportMail(&delegate);
    first->send();
    first->send();
    supportMail(&delegate)->send();

    EXPECT_EQ(delegate.endings, std::vector<Ending>(3, kSent));
    const auto outbox = entriesIn(root / "var/mail/outbox");
    ASSERT_EQ(outbox.size(), 3u);
    std::vector<std::string> ids;
    for (const auto& file : outbox) ids.push_back(headerLine(fileBytes(file), "Message-ID: "));
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(std::unique(ids.begin(), ids.end()), ids.end());
    EXPECT_NE(ids[0], "");
}

TEST(MFMailComposeViewController, SaveDraftKeepsTheMailInTheDraftsAndTellsTheDelegateSaved) {
    TemporaryRoot root;
    RecordingDelegate delegate;
    auto mail = supportMail(&delegate);
    mail->setToRecipients({});
    mail->saveDraft();

    EXPECT_EQ(delegate.endings, (std::vector<Ending>{{MFMailComposeResultSaved, false, ""}}));
    EXPECT_EQ(entriesUnder(root.path()), std::vector<fs::path>{mail->lastWrittenFile()});
    EXPECT_EQ(mail->lastWrittenFile().parent_path(), root / "var/mail/drafts");
    EXPECT_EQ(readMail(root, mail->lastWrittenFile())["subject"], "Corvane 0.1 support");
}

TEST(MFMailComposeViewController, AFolderThatLeadsOutOfTheRootFailsTheSendAndWritesNothing) {
    struct Case {
        const char* name;
        const char* devicePath;  // what is planted there
        bool link;               // a link to the outside folder, else a file
    };
    const Case cases[] = {
        {"var/mail links out", "/var/mail", true},
        {"var links out", "/var", true},
        {"the outbox links out", "/var/mail/outbox", true},
        {"the outbox is a file", "/var/mail/outbox", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TemporaryRoot outside;
        TemporaryRoot root;
        fs::create_directories((root / c.devicePath).parent_path());
        if (c.link) {
            fs::create_directory_symlink(outside.path(), root / c.devicePath);
        } else {
            root.write(c.devicePath, "not a folder");
        }
        const auto before = entriesUnder(root.path());
        RecordingDelegate delegate;
        auto mail = supportMail(&delegate);
        mail->send();

        ASSERT_EQ(delegate.endings.size(), 1u);
        EXPECT_EQ(delegate.endings[0].result, MFMailComposeResultFailed);
        EXPECT_TRUE(delegate.endings[0].hasError);
        EXPECT_NE(delegate.endings[0].error, "");
        EXPECT_EQ(entriesUnder(outside.path()), std::vector<fs::path>{});
        EXPECT_EQ(entriesUnder(root.path()), before);
        EXPECT_EQ(mail->lastWrittenFile(), fs::path());
    }
}

TEST(MFMailComposeViewController, AMailWithoutAUsableRecipientFailsAndWritesNothing) {
    const std::vector<std::string> cases[] = {
        {},
        {" ", ""},
        {std::string(250, 'a') + "@x.invalid"},
    };
    for (const auto& to : cases) {
        SCOPED_TRACE(to.empty() ? "(none)" : to[0]);
        TemporaryRoot root;
        RecordingDelegate delegate;
        auto mail = supportMail(&delegate);
        mail->setToRecipients(to);
        mail->send();
        ASSERT_EQ(delegate.endings.size(), 1u);
        EXPECT_EQ(delegate.endings[0].result, MFMailComposeResultFailed);
        EXPECT_NE(delegate.endings[0].error, "");
        EXPECT_EQ(entriesUnder(root.path()), std::vector<fs::path>{});
    }
}

TEST(MFMailComposeViewController, OnlyALiveDelegateThatAnswersTheMessageIsTold) {
    TemporaryRoot root;
    SilentDelegate silent;
    auto mail = supportMail(&silent);
    EXPECT_NO_THROW(mail->send());
    EXPECT_EQ(entriesIn(root / "var/mail/outbox").size(), 1u);

    auto gone = std::make_shared<RecordingDelegate>();
    mail->setMailComposeDelegate(gone.get());
    EXPECT_EQ(mail->mailComposeDelegate(), gone.get());
    gone.reset();
    EXPECT_EQ(mail->mailComposeDelegate(), nullptr);
    EXPECT_NO_THROW(mail->cancel());
}

// A body that every encoding step has to get right: characters beyond ASCII, a line longer than
// a mail line may be, '=' signs, white space at line ends, a lone dot and a line starting
// "From ".
std::string awkwardBody() {
    return "Grüße aus Zürich — ☃ snow\n" + std::string(1200, 'x') + "é\n" +
           "a=b, 1+1=2  \n\tindented, tab at end\t\n.\nFrom here on\n\nlast line, no break";
}

std::vector<std::uint8_t> everyByte() {
    std::vector<std::uint8_t> bytes(256);
    for (int i = 0; i < 256; ++i) bytes[i] = static_cast<std::uint8_t>(i);
    return bytes;
}

TEST(MFMailComposeViewController, TheMailReadsBackWholeInAMailReader) {
    for (const bool html : {false, true}) {
        SCOPED_TRACE(html ? "HTML body" : "text body");
        TemporaryRoot root;
        RecordingDelegate delegate;
        MFMailComposeViewController mail;
        mail.setMailComposeDelegate(&delegate);
        mail.setToRecipients({"first@corvane.invalid", "second@corvane.invalid",
                              "third.with.a.long.name@corvane.invalid"});
        mail.setCcRecipients({"copy@corvane.invalid"});
        // Long enough for several encoded-words, with an "é" where a word is full.
        mail.setSubject("Corvane 0.1 : la page qui tourne a été déverrouillée ☹ — réglages joints");
        mail.setMessageBody(awkwardBody(), html);
        mail.addAttachmentData(everyByte(), "application/octet-stream", "every byte.bin");
        mail.addAttachmentData(bytesOf("ü\r\n"), "text/plain", "Übersicht \"neu\".txt");
        mail.addAttachmentData({}, "not a type", "empty");
        mail.send();
        ASSERT_EQ(delegate.endings, std::vector<Ending>{kSent});

        const std::string raw = fileBytes(mail.lastWrittenFile());
        std::size_t start = 0;
        for (std::size_t end = raw.find('\n'); end != std::string::npos;
             start = end + 1, end = raw.find('\n', start)) {
            EXPECT_TRUE(end > start && raw[end - 1] == '\r') << "a line without CR at " << start;
            EXPECT_LE(end - 1 - start, 78u) << raw.substr(start, end - start);
            // White space at the end of a line may be stripped on the way.
            EXPECT_TRUE(end - 1 == start || (raw[end - 2] != ' ' && raw[end - 2] != '\t'))
                << raw.substr(start, end - start);
        }
        EXPECT_EQ(start, raw.size()) << "the file ends mid-line";
        EXPECT_TRUE(std::all_of(raw.begin(), raw.end(), [](char c) {
            return static_cast<unsigned char>(c) < 128;
        })) << "a byte beyond 7-bit ASCII";

        const auto read = readMail(root, mail.lastWrittenFile());
        EXPECT_EQ(read["defects"], nlohmann::json::array());
        EXPECT_EQ(read["split_encoded_words"], nlohmann::json::array());
        EXPECT_EQ(read["to"],
                  "first@corvane.invalid, second@corvane.invalid, "
                  "third.with.a.long.name@corvane.invalid");
        EXPECT_EQ(read["cc"], "copy@corvane.invalid");
        EXPECT_EQ(read["subject"], mail.subject());
        EXPECT_EQ(read["body_type"], html ? "text/html" : "text/plain");
        EXPECT_EQ(read["body"], awkwardBody());
        EXPECT_EQ(read["attachments"],
                  nlohmann::json::array(
                      {attachmentJson("every byte.bin", "application/octet-stream", everyByte()),
                       attachmentJson("Übersicht \"neu\".txt", "text/plain", bytesOf("ü\r\n")),
                       attachmentJson("empty", "application/octet-stream", {})}));
    }
}

TEST(MFMailComposeViewController, HeaderTextComesBackAsWrittenAndCannotAddHeaders) {
    struct Case {
        std::string subject;
        std::string readBack;
    };
    const Case cases[] = {
        {"Plain subject", "Plain subject"},
        {"=?utf-8?q?looks_encoded?=", "=?utf-8?q?looks_encoded?="},
        {"Crème brûlée", "Crème brûlée"},
        {std::string(120, 'a') + " and more", std::string(120, 'a') + " and more"},
        {" padded ", " padded "},
        {"Hi\r\nBcc: hidden@corvane.invalid", "Hi  Bcc: hidden@corvane.invalid"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.subject);
        TemporaryRoot root;
        MFMailComposeViewController mail;
        mail.setToRecipients({"to@corvane.invalid\r\nBcc: hidden@corvane.invalid"});
        mail.setSubject(c.subject);
        mail.send();
        const auto read = readMail(root, mail.lastWrittenFile());
        EXPECT_EQ(read["subject"], c.readBack);
        EXPECT_EQ(read["bcc"], nullptr);
        EXPECT_EQ(read["defects"], nlohmann::json::array());
    }
}

TEST(MailMessage, PartsThatHoldTheBoundaryTextStayWhole) {
    TemporaryRoot root;
    MailDraft draft;
    draft.toRecipients = {"to@corvane.invalid"};
    draft.body = "--=_b\n";
    draft.attachments = {{{1, 2}, "text/plain", "--=_b"}, {{3}, "text/plain", "--=_b_0"}};
    root.write("/mail.eml", composeMailMessage(draft, {mailDate(0), "<1@corvane.invalid>", "=_b"}));
    const auto read = readMail(root, root / "mail.eml");
    EXPECT_EQ(read["defects"], nlohmann::json::array());
    EXPECT_EQ(read["body"], "--=_b\n");
    EXPECT_EQ(read["attachments"],
              nlohmann::json::array({attachmentJson("--=_b", "text/plain", {1, 2}),
                                     attachmentJson("--=_b_0", "text/plain", {3})}));
}

TEST(MailMessage, DatesAreInternetDatesInUtcWhateverTheLocale) {
    EXPECT_EQ(mailDate(0), "Thu, 01 Jan 1970 00:00:00 +0000");
    EXPECT_EQ(mailDate(1717495205), "Tue, 04 Jun 2024 10:00:05 +0000");
    EXPECT_EQ(mailDate(951782400), "Tue, 29 Feb 2000 00:00:00 +0000");
}

TEST(MFMailComposeViewController, IsKnownByNameAndCanAlwaysSendMail) {
    const Class cls = objc_getClass("MFMailComposeViewController");
    EXPECT_EQ(cls, MFMailComposeViewController::class_());
    EXPECT_TRUE(class_isSubclassOf(cls, UIViewController::class_()));
    EXPECT_TRUE(MFMailComposeViewControllerMessage::canSendMail.send(cls));
}

// Whether any pixel of the rows [top, bottom) (in points) differs between the two images.
bool rowsDiffer(const CGImageRef& a, const CGImageRef& b, CGFloat top, CGFloat bottom) {
    const CGFloat scale = UIScreen::mainScreen()->scale();
    for (auto y = static_cast<size_t>(top * scale); y < static_cast<size_t>(bottom * scale); ++y) {
        for (size_t x = 0; x < CGImageGetWidth(a); ++x) {
            const auto p = CGImageGetPixelForTesting(a, x, y),
                       q = CGImageGetPixelForTesting(b, x, y);
            if (p.r != q.r || p.g != q.g || p.b != q.b) return true;
        }
    }
    return false;
}

TEST(MFMailComposeViewController, ItsViewShowsEachFieldOnItsOwnLine) {
    MFMailComposeViewController mail;
    auto* sheet = objc_cast<UIImageView>(mail.view().get());
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->frame(), UIScreen::mainScreen()->bounds());
    ASSERT_NE(sheet->image(), nullptr);
    EXPECT_EQ(sheet->image()->size(), UIScreen::mainScreen()->bounds().size);

    const CGFloat height = UIScreen::mainScreen()->bounds().size.height;
    struct Band {
        const char* name;
        CGFloat top, bottom;
    };
    // The bar, To, Cc, Subject, the body and the bottom line where the one attachment goes.
    const Band bands[] = {{"bar", 0, 44},     {"to", 44, 76},
                          {"cc", 76, 108},    {"subject", 108, 140},
                          {"body", 140, 200}, {"attachment", height - 36, height}};
    const std::function<void()> edits[] = {
        [&] { mail.setToRecipients({"support@quillmoss.invalid"}); },
        [&] { mail.setCcRecipients({"copy@quillmoss.invalid"}); },
        [&] { mail.setSubject("Corvane support"); },
        [&] { mail.setMessageBody("Hello\nSecond line", false); },
        [&] {
            mail.addAttachmentData({1, 2, 3}, "text/plain", "dpkgl.log");
        },
    };
    for (size_t i = 0; i < std::size(edits); ++i) {
        SCOPED_TRACE(bands[i + 1].name);
        const CGImageRef before = sheet->image()->CGImage();
        edits[i]();
        const CGImageRef after = sheet->image()->CGImage();
        for (const auto& band : bands) {
            EXPECT_EQ(rowsDiffer(before, after, band.top, band.bottom), &band == &bands[i + 1])
                << band.name;
        }
    }
}

}  // namespace
