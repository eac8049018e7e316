// Specifier lists as the Preferences stand-in reads them, and a list controller's values: what
// it shows, what it stores, and which of its target's messages a row sends.

#include "platform/foundation/NSLog.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/RunLoop.h"
#include "platform/preferences/PSListController.h"
#include "platform/preferences/SpecifierListLoader.h"
#include "tests/support/TemporaryRoot.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string plist(const std::string& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\">" + body + "</plist>";
}

std::string items(const std::string& rows) {
    return plist("<dict><key>items</key><array>" + rows + "</array></dict>");
}

// Collects the log lines written while it lives.
struct LogLines {
    LogLines() {
        setLogToStandardError(false);
        sink = addLogSink([this](std::string_view line) { lines.emplace_back(line); });
    }
    ~LogLines() {
        removeLogSink(sink);
        setLogToStandardError(true);
    }
    std::vector<std::string> lines;
    int sink = 0;
};

TEST(SpecifierList, ReadsEveryKindOfRowWithItsProperties) {
    const auto rows = PSSpecifiersFromBytes(
        items("<dict><key>cell</key><string>PSGroupCell</string><key>label</key><string>Look</string>"
              "<key>footerText</key><string>Below.</string></dict>"
              "<dict><key>cell</key><string>PSSwitchCell</string><key>label</key><string>On</string>"
              "<key>key</key><string>k</string><key>defaults</key><string>d</string>"
              "<key>default</key><true/><key>set</key><string>setOn:specifier:</string></dict>"
              "<dict><key>cell</key><string>PSLinkListCell</string><key>validValues</key>"
              "<array><integer>0</integer><integer>1</integer></array><key>validTitles</key>"
              "<array><string>Zero</string><string>One</string></array></dict>"
              "<dict><key>cell</key><string>PSSliderCell</string><key>min</key><real>0.5</real>"
              "<key>max</key><real>2</real></dict>"
              "<dict><key>cell</key><string>PSButtonCell</string><key>action</key>"
              "<string>press:</string></dict>"
              "<dict><key>cell</key><string>PSStaticTextCell</string></dict>"),
        nullptr);
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[0]->cellType(), PSCellType::Group);
    EXPECT_EQ(rows[0]->name(), "Look");
    EXPECT_EQ(*rows[0]->property("footerText"), PlistValue("Below."));
    EXPECT_EQ(rows[1]->key(), "k");
    EXPECT_EQ(rows[1]->defaults(), "d");
    EXPECT_EQ(rows[1]->setter(), sel_registerName("setOn:specifier:"));
    ASSERT_EQ(rows[2]->titleDictionary().size(), 2u);
    EXPECT_EQ(*rows[2]->titleOfValue(PlistValue(1)), "One");
    EXPECT_EQ(rows[3]->cellType(), PSCellType::Slider);
    EXPECT_EQ(rows[4]->action(), sel_registerName("press:"));
    EXPECT_EQ(rows[5]->cellType(), PSCellType::StaticText);
}

TEST(SpecifierList, LeavesOutRowsOfTheWrongShapeWithALineEach) {
    LogLines log;
    const auto rows = PSSpecifiersFromBytes(
        items("<string>not a row</string>"
              "<dict><key>label</key><string>no cell</string></dict>"
              "<dict><key>cell</key><string>PSNoSuchCell</string></dict>"
              "<dict><key>cell</key><string>PSSwitchCell</string><key>key</key><integer>3</integer></dict>"
              "<dict><key>cell</key><string>PSLinkListCell</string><key>validValues</key>"
              "<array><integer>0</integer></array><key>validTitles</key><array/></dict>"
              "<dict><key>cell</key><string>PSLinkListCell</string><key>validValues</key>"
              "<array><real>nan</real></array><key>validTitles</key><array><string>x</string></array></dict>"
              "<dict><key>cell</key><string>PSLinkListCell</string><key>validValues</key>"
              "<array><array><real>nan</real></array></array><key>validTitles</key>"
              "<array><string>x</string></array></dict>"
              "<dict><key>cell</key><string>PSGroupCell</string></dict>"),
        nullptr);
    ASSERT_EQ(rows.size(), 1u);  // only the group is a row
    EXPECT_EQ(rows[0]->cellType(), PSCellType::Group);
    EXPECT_EQ(log.lines.size(), 7u);
}

TEST(SpecifierList, WhatIsNotAListGivesNoRows) {
    LogLines log;
    const std::string cases[] = {
        "",
        "not a property list",
        plist("<array/>"),
        plist("<dict><key>items</key><string>x</string></dict>"),
        plist(std::string(300, '[')),
        plist(std::string(20000, 'a')),
    };
    for (const auto& bytes : cases) EXPECT_TRUE(PSSpecifiersFromBytes(bytes, nullptr).empty());
    EXPECT_EQ(log.lines.size(), std::size(cases));
}

TEST(SpecifierList, DeeplyNestedListsAreRefusedWithoutOverflowingTheStack) {
    std::string nested;
    for (int i = 0; i < 100000; ++i) nested += "<array>";
    for (int i = 0; i < 100000; ++i) nested += "</array>";
    LogLines log;
    EXPECT_TRUE(PSSpecifiersFromBytes(items(nested), nullptr).empty());
}

// A list controller of the test's own, whose rows name its messages.
class Panel : public PSListController {
public:
    Panel() : PSListController(class_()) {}
    static Class class_();
    std::vector<std::string> calls;
};

void panelSetOn(id self, SEL, PlistValue value, PSSpecifier*) {
    static_cast<Panel*>(self)->calls.push_back(value.as<bool>() && *value.as<bool>() ? "on" : "off");
}

void panelPress(id self, SEL, id sender) {
    static_cast<Panel*>(self)->calls.push_back(sender ? "pressed" : "pressed by nobody");
}

inline constinit const PSValueSetter kSetOn{"setOn:specifier:"};
inline constinit const PSButtonAction kPress{"press:"};

Class Panel::class_() {
    static const Class cls = objc_defineClass(
        "TestPanel", PSListController::class_(),
        {kSetOn.implementedBy(&panelSetOn), kPress.implementedBy(&panelPress)});
    return cls;
}

std::shared_ptr<PSSpecifier> row(PSCellType type, const std::string& key, PlistValue fallback) {
    auto made = std::make_shared<PSSpecifier>();
    made->setCellType(type);
    made->setProperty("key", PlistValue(key));
    made->setProperty("defaults", PlistValue("com.example.test"));
    made->setProperty("default", std::move(fallback));
    return made;
}

TEST(PSListController, ShowsTheStoredValueElseTheDefaultAndStoresChanges) {
    TemporaryRoot root;
    auto panel = std::make_shared<Panel>();
    auto level = row(PSCellType::Slider, "level", PlistValue(0.5));
    EXPECT_EQ(*panel->valueOf(level.get()), PlistValue(0.5));
    panel->setValueOf(level.get(), PlistValue(0.75));
    EXPECT_EQ(*panel->valueOf(level.get()), PlistValue(0.75));
    const auto file = readPropertyListDictionary(root / "/User/Library/Preferences/com.example.test.plist");
    ASSERT_TRUE(file);
    EXPECT_EQ(file->at("level"), PlistValue(0.75));
}

TEST(PSListController, PostsTheRowsNotificationOnlyAfterAStoreThatWorked) {
    TemporaryRoot root;
    std::vector<std::string> posted;
    CFNotificationCenterSetPostTap(CFNotificationCenterGetDarwinNotifyCenter(),
                                   [&](std::string_view name) { posted.emplace_back(name); });
    auto panel = std::make_shared<Panel>();
    auto flag = row(PSCellType::Switch, "flag", PlistValue(false));
    flag->setProperty("PostNotification", PlistValue("com.example.changed"));
    panel->setValueOf(flag.get(), PlistValue(true));
    EXPECT_EQ(posted, std::vector<std::string>{"com.example.changed"});
    // The preferences folder is a link out of the device root: nothing is written, nothing posted.
    const TemporaryRoot elsewhere;
    DeviceRoot::set(root.path());
    std::filesystem::remove_all(root / "/User/Library/Preferences");
    std::filesystem::create_directory_symlink(elsewhere.path(), root / "/User/Library/Preferences");
    LogLines log;
    panel->setValueOf(flag.get(), PlistValue(false));
    EXPECT_EQ(posted.size(), 1u);
    EXPECT_TRUE(std::filesystem::is_empty(elsewhere.path()));
    EXPECT_EQ(log.lines.size(), 1u);
    CFNotificationCenterSetPostTap(CFNotificationCenterGetDarwinNotifyCenter(), nullptr);
}

TEST(PSListController, RowsSendTheSettersAndActionsTheyName) {
    TemporaryRoot root;
    auto panel = std::make_shared<Panel>();
    auto toggle = row(PSCellType::Switch, "toggle", PlistValue(false));
    toggle->setTarget(panel.get());
    toggle->setSetter(kSetOn.selector());
    panel->setValueOf(toggle.get(), PlistValue(true));
    auto button = std::make_shared<PSSpecifier>();
    button->setCellType(PSCellType::Button);
    button->setTarget(panel.get());
    button->setAction(kPress.selector());
    panel->press(button.get());
    auto unanswered = std::make_shared<PSSpecifier>();
    unanswered->setTarget(panel.get());
    unanswered->setAction(sel_registerName("noSuchAction:"));
    panel->press(unanswered.get());  // nothing answers: nothing happens
    EXPECT_EQ(panel->calls, (std::vector<std::string>{"on", "pressed"}));
    EXPECT_FALSE(std::filesystem::exists(root / "/User/Library/Preferences/com.example.test.plist"));
}

}  // namespace
