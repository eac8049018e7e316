// The panel and the lock screen read one stored value the same way: a value of a kind that does
// not convert counts as not stored for both, and what converts converts alike. The panel also
// meets files and processes it must not trust: a settings file that is a pipe, a link or too
// large never hangs its mail, and its restart ends no SpringBoard but this device's.

#include "tests/panel/PanelSim.h"

#include "tests/support/RunProgram.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <map>

namespace {

using Json = nlohmann::json;

// The field of `corvanectl prefs show` that holds each key's value.
const std::map<std::string, std::string> kFieldOfKey = {
    {"cvrEnabled", "enabled"},
    {"cvrUnlockSound", "playUnlockSound"},
    {"cvrHideUnlockSlider", "hideUnlockSlider"},
    {"cvrHideLockClock", "hideLockClock"},
    {"cvrShowStatusBarClock", "showStatusBarClock"},
    {"cvrUnlockType", "unlockType"},
    {"cvrUnlockDirection", "unlockDirection"},
    {"cvrUnlockAnimation", "unlockAnimation"},
    {"cvrReleaseAnimation", "releaseAnimation"},
    {"pageTurnDirection", "pageTurnDirection"},
    {"cvrPullDirection", "pullDirection"},
    {"cvrBadgeDesign", "badgeDesign"},
    {"cvrDragDistance", "dragDistance"},
    {"cvrTurnDistance", "turnDistance"},
    {"cvrOverlayTransparency", "overlayTransparency"},
};

// A row's value as the lock screen names it: the badge design by its name.
Json asTweakShows(const std::string& key, const Json& value) {
    static const char* kDesigns[] = {"Red", "Cloth", "Grey", "Custom", "Vellum"};
    if (key == "cvrBadgeDesign" && value.is_number_integer()) {
        const auto index = value.get<int>();
        return index >= 0 && index < 5 ? Json(kDesigns[index]) : value;
    }
    return value;
}

void writeSettings(const PanelSim& sim, const std::string& entries) {
    sim.root().write(
        "/User/Library/Preferences/com.quillmoss.corvane.plist",
        "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict>" + entries + "</dict></plist>");
}

// Every keyed row the panel shows must hold the value the tweak holds for that key.
void expectPanelAgreesWithTheTweak(PanelSim& sim) {
    const auto shown =
        runProgram(CORVANECTL_PATH, {"--root", sim.root().path().string(), "prefs", "show"},
                   sim.root().path());
    ASSERT_EQ(shown.status, 0) << shown.err;
    const auto tweak = Json::parse(shown.out);
    const auto rows = sim.run("open\nrows\n").lastRows();
    int compared = 0;
    for (const auto& row : rows) {
        if (!row["key"].is_string()) continue;
        const std::string key = row["key"];
        const auto field = kFieldOfKey.find(key);
        ASSERT_NE(field, kFieldOfKey.end()) << "a row for " << key;
        EXPECT_EQ(asTweakShows(key, row["value"]), tweak[field->second]) << key;
        ++compared;
    }
    EXPECT_GT(compared, 0);
}

TEST(PanelAgreement, EveryRowShowsWhatTheLockScreenHoldsWithNoFile) {
    PanelSim sim;
    writeSettings(sim, "<key>cvrUnlockType</key><integer>9</integer>");  // every row shows
    expectPanelAgreesWithTheTweak(sim);
}

TEST(PanelAgreement, AValueOfAKindThatDoesNotConvertCountsAsNotStoredForBoth) {
    const std::string kinds[] = {"<array/>", "<dict/>", "<data>AAE=</data>", "<real>nan</real>",
                                 "<date>2011-01-01T00:00:00Z</date>"};
    for (const auto& kind : kinds) {
        SCOPED_TRACE(kind);
        PanelSim sim;
        std::string entries = "<key>cvrUnlockType</key><integer>9</integer>";
        for (const auto& [key, field] : kFieldOfKey) {
            if (key != "cvrUnlockType") entries += "<key>" + key + "</key>" + kind;
        }
        writeSettings(sim, entries);
        expectPanelAgreesWithTheTweak(sim);
        // The switch is on, as the tweak takes it: the rows of the stored type show.
        EXPECT_GT(sim.run("open\nrows\n").lastRows().size(), 10u);
    }
}

TEST(PanelAgreement, NumbersOfAnotherKindConvertAlikeForBoth) {
    PanelSim sim;
    writeSettings(sim,
                  "<key>cvrEnabled</key><string>yes</string>"
                  "<key>cvrUnlockType</key><real>3.7</real>"
                  "<key>pageTurnDirection</key><string>2</string>"
                  "<key>cvrTurnDistance</key><integer>1</integer>");
    expectPanelAgreesWithTheTweak(sim);
    const auto rows = sim.run("open\nrows\n").lastRows();
    bool peelRows = false;
    for (const auto& row : rows) peelRows = peelRows || row["key"] == "pageTurnDirection";
    EXPECT_TRUE(peelRows);  // type 3: the peel's rows
}

// Settings files the support mail must neither wait on, read without end, nor take from outside
// the device: the mail goes, its settings attachment is empty and the body says why.
TEST(PanelAgreement, TheMailSaysWhatItCouldNotAttachInsteadOfHangingOrLeaking) {
    struct Planted {
        const char* what;
        void (*plant)(const std::filesystem::path& file, const std::filesystem::path& outside);
    };
    const Planted cases[] = {
        {"a pipe", [](const auto& file, const auto&) { ::mkfifo(file.c_str(), 0600); }},
        {"a link to /dev/zero",
         [](const auto& file, const auto&) { std::filesystem::create_symlink("/dev/zero", file); }},
        {"a link to a file outside",
         [](const auto& file, const auto& outside) {
             std::filesystem::create_symlink(outside, file);
         }},
        {"a folder",
         [](const auto& file, const auto&) { std::filesystem::create_directory(file); }},
        {"past 4 MiB",
         [](const auto& file, const auto&) { std::ofstream(file) << std::string(5 << 20, ' '); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PanelSim sim;
        const auto outside = sim.root().path() / "../outside-secret.plist";
        std::ofstream(outside)
            << "<plist><dict><key>secret</key><string>theirs</string></dict></plist>";
        const auto file = sim.root() / "/User/Library/Preferences/com.quillmoss.corvane.plist";
        std::filesystem::create_directories(file.parent_path());
        c.plant(file, outside);
        const auto run = sim.run("open\ntap sendMail:\nmail send\n");
        std::filesystem::remove(outside);
        EXPECT_EQ(run.status, 0) << run.err;
        const auto mails = run.all("mail");
        ASSERT_EQ(mails.size(), 1u);
        const auto& mail = mails[0];
        ASSERT_EQ(mail["attachments"].size(), 2u);
        EXPECT_EQ(mail["attachments"][0]["name"], "corvane.plist");
        EXPECT_EQ(mail["attachments"][0]["bytes"], 0);
        EXPECT_NE(mail["body"].get<std::string>().find("corvane.plist is empty"), std::string::npos)
            << mail["body"];
    }
}

// Another device's SpringBoard runs; this device's pid file is a copy of its (with its lock file),
// or a pipe: the restart ends nothing, hangs nothing, and the panel says so.
TEST(PanelAgreement, TheRestartEndsNoSpringBoardOfAnotherDevice) {
    for (const bool pipe : {false, true}) {
        SCOPED_TRACE(pipe ? "a pipe at the pid file" : "a copied pid file");
        PanelSim other;
        LiveSpringBoard theirs(other.root(), false);
        theirs.send("boot\n");
        ASSERT_TRUE(theirs.settle());
        PanelSim sim;
        const auto run = sim.root() / "/var/run";
        std::filesystem::create_directories(run);
        if (pipe) {
            ASSERT_EQ(::mkfifo((run / "springboard.pid").c_str(), 0600), 0);
        } else {
            std::filesystem::copy_file(other.root() / "/var/run/springboard.pid",
                                       run / "springboard.pid");
            std::error_code
                noLock;  // a device's SpringBoard leaves a lock file beside its pid file
            std::filesystem::copy_file(other.root() / "/var/run/springboard.lock",
                                       run / "springboard.lock", noLock);
        }
        const auto panel = sim.run("open\ntap respringButtonClicked:\n");
        EXPECT_EQ(panel.status, 0) << panel.err;
        const auto system = panel.all("system");
        ASSERT_EQ(system.size(), 1u);
        EXPECT_EQ(system[0]["status"], 1);
        int killallLines = 0;
        for (const auto& log : panel.all("log"))
            killallLines += log["text"].get<std::string>().starts_with("killall:");
        EXPECT_EQ(killallLines, 1);
        EXPECT_TRUE(theirs.settle()) << "the other device's SpringBoard was ended";
    }
}

// Another program changes the unlock type while the panel is open: the panel's rows follow it
// without being opened again.
TEST(PanelAgreement, AnOpenPanelFollowsAChangeMadeElsewhere) {
    PanelSim sim;
    LiveProgram panel(CORVANE_SETTINGS_PATH, sim.root(), {});
    const auto rowsEvent = [](const Json& e) { return e["ev"] == "rows"; };
    panel.send("open\nrows\n");
    ASSERT_TRUE(panel.waitFor(rowsEvent));
    const auto showsPeelRows = [&] {
        for (const auto& row : panel.events().back()["rows"]) {
            if (row["key"] == "pageTurnDirection") return true;
        }
        return false;
    };
    EXPECT_FALSE(showsPeelRows());
    const auto set = runProgram(CORVANECTL_PATH, {"--root", sim.root().path().string(), "prefs",
                                                  "set", "cvrUnlockType", "3"},
                                sim.root().path());
    ASSERT_EQ(set.status, 0) << set.err;
    panel.send("wait 10\nrows\n");
    ASSERT_TRUE(panel.waitFor(rowsEvent));
    EXPECT_TRUE(showsPeelRows());
}

}  // namespace
