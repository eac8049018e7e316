// The Corvane panel as a user meets it in corvane-settings: which rows show for each state, how
// a change is stored and announced, the colour chooser, the support mail, the FAQ and the
// restart, and what it refuses to do through links planted on the device.

#include "tests/panel/PanelSim.h"

#include "platform/foundation/PropertyList.h"
#include "tests/support/RunProgram.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <set>

namespace {

using Json = nlohmann::json;

std::string prefsFile() { return "/User/Library/Preferences/com.quillmoss.corvane.plist"; }

// The labels (or, for rows without one, the cell types) of the panel's list as the bundle holds
// it, by their position in the file.
std::vector<std::string> rowsInFile() {
    const auto list = readPropertyListDictionary(std::string(CORVANE_DEVICE_DIR) +
                                                 "/Library/PreferenceBundles/crvsettings.bundle/"
                                                 "crvsettings.plist");
    std::vector<std::string> names;
    for (const auto& item : *list->at("items").as<PlistArray>()) {
        const auto& row = *item.as<PlistDictionary>();
        const auto label = row.find("label");
        const auto key = row.find("key");
        names.push_back(key != row.end()   ? *key->second.as<std::string>()
                        : label != row.end() ? *label->second.as<std::string>()
                                             : *row.at("cell").as<std::string>());
    }
    return names;
}

std::vector<std::string> namesOf(const Json& rows) {
    std::vector<std::string> names;
    for (const auto& row : rows) {
        names.push_back(!row["key"].is_null()           ? row["key"].get<std::string>()
                        : !row["label"].get<std::string>().empty() ? row["label"].get<std::string>()
                                                                   : row["cell"].get<std::string>());
    }
    return names;
}

// The rows of the file at `kept` positions, then every row from 23 on.
std::vector<std::string> expectedRows(std::initializer_list<std::pair<int, int>> kept) {
    const auto all = rowsInFile();
    std::vector<std::string> names;
    for (const auto& [from, to] : kept) {
        for (int i = from; i <= to; ++i) names.push_back(all[std::size_t(i)]);
    }
    for (std::size_t i = 23; i < all.size(); ++i) names.push_back(all[i]);
    return names;
}

TEST(Panel, EachStateShowsExactlyItsRows) {
    const struct {
        std::string setUp;
        std::vector<std::string> rows;
    } cases[] = {
        {"set cvrEnabled NO\n", expectedRows({{0, 1}, {4, 5}})},
        {"set cvrUnlockType 0\n", expectedRows({{0, 13}, {22, 22}})},
        {"set cvrUnlockType 1\n", expectedRows({{0, 9}, {12, 15}, {22, 22}})},
        {"set cvrUnlockType 2\n", expectedRows({{0, 8}, {22, 22}})},
        {"set cvrUnlockType 3\n", expectedRows({{0, 8}, {16, 18}, {22, 22}})},
        {"set cvrUnlockType 4\n", expectedRows({{0, 8}, {19, 22}})},
        {"set cvrUnlockType 5\n", expectedRows({{0, 8}, {22, 22}})},
        {"set cvrUnlockType 6\n", expectedRows({{0, 8}, {22, 22}})},
        {"set cvrUnlockType 9\n", expectedRows({{0, 22}})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.setUp);
        PanelSim sim;
        const auto run = sim.run("open\n" + c.setUp + "rows\n");
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(namesOf(run.lastRows()), c.rows);
    }
}

TEST(Panel, AChangeIsStoredThenAnnouncedOnce) {
    PanelSim sim;
    const auto run = sim.run("open\nset cvrDragDistance 1.5\nset cvrEnabled NO\n");
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<std::string> order;
    for (const auto& e : run.events) {
        if (e["ev"] == "file-write" || e["ev"] == "notification-posted") order.push_back(e["ev"]);
    }
    EXPECT_EQ(order, (std::vector<std::string>{"file-write", "notification-posted", "file-write",
                                               "notification-posted"}));
    const auto file = readPropertyListDictionary(sim.root() / prefsFile());
    ASSERT_TRUE(file);
    EXPECT_EQ(file->at("cvrDragDistance"), PlistValue(1.5));
    EXPECT_EQ(file->at("cvrEnabled"), PlistValue(false));
}

TEST(Panel, TheColourChooserLaysOutItsChildrenAndWritesEveryMovement) {
    for (const bool pad : {false, true}) {
        SCOPED_TRACE(pad ? "iPad" : "iPhone");
        PanelSim sim;
        const auto run = sim.run(std::string(pad ? "device iPad\n" : "") +
                                 "open\nset cvrUnlockType 4\ntap chooseColor:\ndump chooser\n"
                                 "slider green 0.25\n");
        ASSERT_EQ(run.status, 0) << run.err;
        const auto dump = run.all("dump").back();
        const float x = pad ? 94 : 20;
        const std::vector<std::pair<std::string, std::vector<float>>> expected = {
            {"Red", {x, 85.5f}},       {"Green", {x, 135.5f}},      {"Blue", {x, 185.5f}},
            {"Alpha", {x, 235.5f}},    {"preview", {pad ? 134.0f : 20.0f, -20}},
            {"red", {x, 108.5f}},      {"blue", {x, 208.5f}},       {"green", {x, 158.5f}},
            {"alpha", {x, 258.5f}},    {"help", {0, 268.5f}},
        };
        const auto& children = dump["children"];
        ASSERT_EQ(children.size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(children[i]["frame"][0].get<float>(), expected[i].second[0]) << i;
            EXPECT_EQ(children[i]["frame"][1].get<float>(), expected[i].second[1]) << i;
        }
        EXPECT_EQ(children[0]["text"], "Red");
        EXPECT_EQ(children[9]["frame"][2].get<float>(), pad ? 468.0f : 320.0f);
        EXPECT_EQ(children[5]["value"].get<float>(), 0.85f);  // the default colour, stored on open
        const auto file = readPropertyListDictionary(sim.root() / prefsFile());
        EXPECT_EQ(file->at("cvrColor"), PlistValue("{0.850, 0.250, 0.850, 0.850}"));
        EXPECT_EQ(file->at("cvrUnlockType"), PlistValue(4));  // what the list stored survives
        // Only the list's own change was announced; the chooser's writes post nothing.
        EXPECT_EQ(run.all("notification-posted").size(), 1u);
    }
}

TEST(Panel, TheSupportMailLandsInTheOutboxWithBothAttachments) {
    PanelSim sim;
    const auto run = sim.run("open\nset cvrUnlockType 2\ntap sendMail:\nwait 400\nmail send\n"
                             "wait 400\n");
    ASSERT_EQ(run.status, 0) << run.err;
    const auto mails = run.all("mail");
    ASSERT_EQ(mails.size(), 1u);
    EXPECT_EQ(mails[0]["subject"], "Corvane");
    EXPECT_EQ(mails[0]["to"].size(), 1u);
    EXPECT_EQ(mails[0]["html"], false);
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(sim.root() / "/var/mail/outbox")) {
        files.push_back(entry.path());
    }
    ASSERT_EQ(files.size(), 1u);
    const auto read = runProgram(PYTHON3_PATH, {READ_MAIL_SCRIPT, files[0].string()}, sim.root().path());
    ASSERT_EQ(read.status, 0) << read.err;
    const auto mail = Json::parse(read.out);
    EXPECT_EQ(mail["subject"], "Corvane");
    EXPECT_EQ(mail["body_type"], "text/plain");
    EXPECT_EQ(mail["body"], "Remember to check FAQ first. Please leave files attached. Email will "
                            "be filtered if these lines are not removed.");
    ASSERT_EQ(mail["attachments"].size(), 2u);
    EXPECT_EQ(mail["attachments"][0]["filename"], "corvane.plist");
    EXPECT_EQ(mail["attachments"][0]["content_type"], "application/xml");
    std::ifstream settings(sim.root() / prefsFile(), std::ios::binary);
    const std::string stored{std::istreambuf_iterator<char>(settings), {}};
    EXPECT_EQ(mail["attachments"][0]["data"].size(), stored.size());
    EXPECT_EQ(mail["attachments"][1]["filename"], "dpkgl.log");
    EXPECT_EQ(mail["attachments"][1]["content_type"], "text/plain");
    EXPECT_FALSE(mail["attachments"][1]["data"].empty());
    // The listing's file of the panel's own is gone once attached.
    EXPECT_TRUE(!std::filesystem::exists(sim.root() / "/tmp") ||
                std::filesystem::is_empty(sim.root() / "/tmp"));
}

TEST(Panel, CancellingTheMailSendsNothingAndTheFAQOpensItsPage) {
    PanelSim sim;
    const auto run = sim.run("open\ntap sendMail:\nwait 400\nmail cancel\nwait 400\ntap openFAQ:\n");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.all("mail").empty());
    EXPECT_FALSE(std::filesystem::exists(sim.root() / "/var/mail/outbox") &&
                 !std::filesystem::is_empty(sim.root() / "/var/mail/outbox"));
    const auto urls = run.all("open-url");
    ASSERT_EQ(urls.size(), 1u);
    EXPECT_TRUE(urls[0]["url"].get<std::string>().starts_with("https://"));
}

TEST(Panel, NeverWritesThroughALinkOutOfTheDevice) {
    PanelSim sim;
    const TemporaryRoot elsewhere;
    DeviceRoot::set(sim.root().path());
    // The settings live behind a link out of the device; reading them is harmless.
    elsewhere.write(prefsFile(), "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict>"
                                 "<key>cvrUnlockType</key><integer>4</integer></dict></plist>");
    const auto outside = elsewhere / prefsFile();
    const auto before = std::filesystem::last_write_time(outside);
    std::filesystem::create_directories(sim.root() / "/User/Library");
    std::filesystem::create_directory_symlink(outside.parent_path(),
                                              sim.root() / "/User/Library/Preferences");
    std::filesystem::create_directory_symlink(elsewhere / "/tmp", sim.root() / "/tmp");
    const auto run = sim.run("open\nset cvrUnlockType 3\ntap chooseColor:\nslider red 0.5\n"
                             "tap sendMail:\nwait 400\nmail send\n");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(std::filesystem::last_write_time(outside), before);
    EXPECT_EQ(std::distance(std::filesystem::recursive_directory_iterator(elsewhere.path()),
                            std::filesystem::recursive_directory_iterator()),
              4);  // User, Library, Preferences and the one file: nothing new
    EXPECT_TRUE(run.all("notification-posted").empty());  // nothing was stored, nothing announced
    EXPECT_GE(run.all("log").size(), 3u);
}

TEST(Panel, AChangeReachesARunningSpringBoardAtItsNextGesture) {
    PanelSim sim;
    LiveSpringBoard springBoard(sim.root(), false);
    springBoard.send("front-app com.example.mail\nboot\nlock\nwake\n");
    ASSERT_TRUE(springBoard.settle());
    const auto panel = sim.run("open\nset cvrUnlockType 1\n");
    ASSERT_EQ(panel.status, 0) << panel.err;
    // The overlay's unlock is the versioned request; the drag's would be the plain one.
    springBoard.send("down 100 250\nmove 200 250\nmove 300 250\nup\nwait 600\n");
    ASSERT_TRUE(springBoard.waitFor([](const Json& e) { return e["ev"] == "unlock-request"; }));
    EXPECT_EQ(springBoard.events().back()["selector"], "unlockWithSound:isAutoUnlock:");
}

TEST(Panel, TheRestartButtonBringsSpringBoardBackWithTheTweak) {
    PanelSim sim;
    LiveSpringBoard springBoard(sim.root(), true);
    springBoard.send("boot\n");
    ASSERT_TRUE(springBoard.settle());
    const auto panel = sim.run("open\ntap respringButtonClicked:\n");
    ASSERT_EQ(panel.status, 0) << panel.err;
    ASSERT_EQ(panel.all("system").size(), 1u);
    EXPECT_EQ(panel.all("system")[0]["command"], "killall SpringBoard");
    EXPECT_EQ(panel.all("respring").size(), 1u);
    ASSERT_TRUE(springBoard.waitFor([](const Json& e) { return e["ev"] == "respring"; }));
    ASSERT_TRUE(springBoard.settle());
    // The fresh SpringBoard has the tweak: its session has been set up by it.
    EXPECT_TRUE(springBoard.events().back()["session"].contains("isUnlocking"));
}

}  // namespace
