// A listener whose pipe is full: posts leave marks instead of being lost, marks of one name
// coalesce, and a reader racing a flood of posts still hears the last post of every name. A
// folder planted where a process's pipe goes is taken away, with a log line, not left to cut the
// process off.

#include "platform/foundation/NotifyTransport.h"

#include "platform/foundation/NSLog.h"
#include "tests/support/TemporaryRoot.h"

#include <gtest/gtest.h>

#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <set>
#include <string>
#include <vector>

namespace {

// Runs `posts` in a child process, as another program of the device would, and waits for it.
template <typename Posts>
void postFromAnotherProcess(const std::filesystem::path& folder, Posts posts) {
    const pid_t child = ::fork();
    if (child == 0) {
        NotifyTransport sender(folder);
        posts(sender);
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

std::string otherName(int i) {
    return "other.notification." + std::to_string(i) + std::string(40, 'x');
}

std::size_t entriesIn(const std::filesystem::path& folder) {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder),
                                                  std::filesystem::directory_iterator()));
}

TEST(NotifyFlood, EveryNamePostedIntoAFullPipeIsHeardAndTheMarksAreTakenAway) {
    TemporaryRoot root;
    const auto folder = root.path() / "notify";
    NotifyTransport listener(folder);
    ASSERT_GE(listener.listen(), 0);
    std::set<std::string> posted;
    constexpr int kOthers = 2000;  // about 120 KiB: nearly twice what a pipe holds
    for (int i = 0; i < kOthers; ++i) posted.insert(otherName(i));
    posted.insert("the.change");
    postFromAnotherProcess(folder, [](NotifyTransport& sender) {
        for (int i = 0; i < kOthers; ++i) sender.post(otherName(i));
        for (int i = 0; i < 5; ++i) sender.post("the.change");  // coalesced into one mark
    });

    const auto received = listener.receive();
    EXPECT_EQ(std::set<std::string>(received.begin(), received.end()), posted);
    EXPECT_EQ(std::count(received.begin(), received.end(), "the.change"), 1);
    EXPECT_EQ(entriesIn(folder / (std::to_string(::getpid()) + ".pending")), 0u);
    EXPECT_TRUE(listener.receive().empty());
}

// The reader empties the pipe while the poster fills it: a mark left just after the reader last
// looked must still wake it. Each round's last name must arrive.
TEST(NotifyFlood, AReaderRacingAFloodHearsTheLastPostOfEveryRound) {
    TemporaryRoot root;
    const auto folder = root.path() / "notify";
    NotifyTransport listener(folder);
    ASSERT_GE(listener.listen(), 0);
    constexpr int kRounds = 200;
    const pid_t child = ::fork();
    if (child == 0) {
        NotifyTransport sender(folder);
        for (int round = 0; round < kRounds; ++round) {
            for (int i = 0; i < 40; ++i) sender.post(otherName(i));
            sender.post("round." + std::to_string(round));
        }
        ::_exit(0);
    }
    std::set<std::string> rounds;
    // A real process on the other side: read as posts arrive, for at most a few seconds.
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    bool posterDone = false;
    while (std::chrono::steady_clock::now() < giveUp) {
        pollfd watched{listener.fd(), POLLIN, 0};
        ::poll(&watched, 1, 50);
        for (const auto& name : listener.receive()) {
            if (name.starts_with("round.")) rounds.insert(name);
        }
        int status = 0;
        if (!posterDone && ::waitpid(child, &status, WNOHANG) == child) posterDone = true;
        if (posterDone && static_cast<int>(rounds.size()) == kRounds) break;
        if (posterDone && watched.revents == 0) break;  // nothing more will come
    }
    if (!posterDone) ::waitpid(child, nullptr, 0);
    EXPECT_EQ(static_cast<int>(rounds.size()), kRounds);
}

TEST(NotifyFlood, APipeWithoutAReaderIsRemovedWithItsMarks) {
    TemporaryRoot root;
    const auto folder = root.path() / "notify";
    std::filesystem::create_directories(folder / "999999999.pending");
    root.write("/notify/999999999.pending/00000000000000aa", "old.mark");
    ASSERT_EQ(::mkfifo((folder / "999999999").c_str(), 0600), 0);
    NotifyTransport(folder).post("name");
    EXPECT_FALSE(std::filesystem::exists(folder / "999999999"));
    EXPECT_FALSE(std::filesystem::exists(folder / "999999999.pending"));
}

TEST(NotifyFlood, SomethingPlantedWhereThePipeGoesIsRemovedAndSaidSo) {
    for (const bool folderPlanted : {true, false}) {
        SCOPED_TRACE(folderPlanted ? "a folder" : "a plain file");
        TemporaryRoot root;
        const auto folder = root.path() / "notify";
        const auto place = folder / std::to_string(::getpid());
        if (folderPlanted) {
            std::filesystem::create_directories(place / "inside");
        } else {
            root.write("/notify/" + std::to_string(::getpid()), "planted");
        }
        std::vector<std::string> lines;
        const int sink = addLogSink([&](std::string_view line) { lines.emplace_back(line); });
        NotifyTransport listener(folder);
        EXPECT_GE(listener.listen(), 0);
        removeLogSink(sink);
        EXPECT_TRUE(std::filesystem::is_fifo(place));
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_NE(lines[0].find("planted"), std::string::npos) << lines[0];

        postFromAnotherProcess(folder, [](NotifyTransport& sender) { sender.post("heard"); });
        EXPECT_EQ(listener.receive(), std::vector<std::string>{"heard"});
    }
}

}  // namespace
