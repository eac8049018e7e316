// corvane-stress: the hardening checks that need real processes and real time. Each subcommand
// runs one check on fresh device roots and prints its figures; see stress/Checks.h.

#include "stress/Checks.h"

#include <CLI/CLI.hpp>

#include <exception>
#include <functional>
#include <iostream>

int main(int argc, char** argv) {
    CLI::App app("Hardening checks of Corvane: atomic settings writes under SIGKILL, the lock and "
                 "unlock soak, the notification storm and the restart loop; writers at once, "
                 "notification floods, hostile pid files and output that cannot be written.",
                 "corvane-stress");
    StressPaths paths{CORVANE_BIN_DIR, CORVANE_DEVICE_DIR, CORVANE_EXAMPLES_DIR};
    app.add_option("--bin", paths.bin, "Folder of corvane-sim, corvane-settings and corvanectl");
    app.add_option("--device", paths.device, "The build's device folder (its Library is installed)");
    app.add_option("--examples", paths.examples, "The example scripts the gestures come from");
    app.require_subcommand(1);
    std::function<int()> run;

    AtomicWriteOptions atomic;
    auto* a = app.add_subcommand("atomic-write", "Kill a writer of a large settings file at random");
    a->add_option("--kills", atomic.kills, "How many writers to kill");
    a->add_option("--max-delay-ms", atomic.maxDelayMs, "Longest time before a kill");
    a->add_option("--keys", atomic.keys, "Keys of the dictionary written");
    a->add_option("--seed", atomic.seed, "Seed of the kill times");
    a->callback([&] { run = [&] { return runAtomicWriteCheck(paths, atomic); }; });

    SoakOptions soak;
    auto* s = app.add_subcommand("soak", "Lock, wake and unlock over and over in one SpringBoard");
    s->add_option("--cycles", soak.cycles, "Lock and unlock cycles");
    s->add_option("--checkpoint", soak.checkpoint, "Cycle after which memory is first measured");
    s->add_option("--rss-tolerance", soak.rssTolerance, "Allowed growth of resident memory (0.05: 5%)");
    s->add_flag("--sanitized", soak.sanitized, "The programs are a sanitizer build");
    s->callback([&] { run = [&] { return runSoakCheck(paths, soak); }; });

    StormOptions storm;
    auto* n = app.add_subcommand("notification-storm", "Post settings changes while a finger drags");
    n->add_option("--posts", storm.posts, "Notifications posted");
    n->add_option("--posts-per-write", storm.postsPerWrite, "Posts between settings writes");
    n->callback([&] { run = [&] { return runNotificationStorm(paths, storm); }; });

    RespringOptions respring;
    auto* r = app.add_subcommand("respring-loop", "Restart SpringBoard from the panel over and over");
    r->add_option("--restarts", respring.restarts, "Restarts");
    r->add_option("--unlock-every", respring.unlockEvery, "Unlock after every this many restarts");
    r->callback([&] { run = [&] { return runRespringLoop(paths, respring); }; });

    WritersOptions writers;
    auto* w = app.add_subcommand("concurrent-writers",
                                 "corvanectl processes and the panel writing at once");
    w->add_option("--writers", writers.writers, "corvanectl processes");
    w->add_option("--changes", writers.changes, "Changes of each writer and of the panel");
    w->callback([&] { run = [&] { return runConcurrentWriters(paths, writers); }; });

    FloodOptions flood;
    auto* f = app.add_subcommand("notification-flood",
                                 "A settings change after each flood of other notifications");
    f->add_option("--rounds", flood.rounds, "Floods, each followed by one settings change");
    f->add_option("--flood-bytes", flood.floodBytes, "Bytes of other notifications in each flood");
    f->callback([&] { run = [&] { return runNotificationFlood(paths, flood); }; });

    HostileRestartOptions hostile;
    auto* h = app.add_subcommand("hostile-restart",
                                 "The panel's restart with pid files nobody can trust");
    h->add_option("--rounds", hostile.rounds, "Rounds of every kind of pid file");
    h->callback([&] { run = [&] { return runHostileRestart(paths, hostile); }; });

    auto* o = app.add_subcommand("output-failures",
                                 "Every program onto /dev/full, a closed pipe and a full disk");
    o->callback([&] { run = [&] { return runOutputFailures(paths); }; });

    CLI11_PARSE(app, argc, argv);
    try {
        return run();
    } catch (const std::exception& failure) {
        std::cerr << "corvane-stress: " << failure.what() << '\n';
        return 2;
    }
}
