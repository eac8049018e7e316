#pragma once

// The hardening checks. Each runs on fresh device roots of its own, prints what it tried and
// measured (stress/StressReport.h) and answers 0 when everything survived, 1 otherwise.

#include "stress/StressRoot.h"

// A writer of a large settings file killed at random moments: the file is always whole.
struct AtomicWriteOptions {
    int kills = 1000;
    int maxDelayMs = 20;  // each kill comes 0 to this many milliseconds after the writer starts
    int keys = 2000;      // the size of the dictionary (about 150 bytes a key)
    unsigned seed = 1;
};
int runAtomicWriteCheck(const StressPaths& paths, const AtomicWriteOptions& options);

// Lock, wake and unlock in one SpringBoard, every gesture with and without a passcode.
struct SoakOptions {
    int cycles = 10000;
    int checkpoint = 1000;        // memory and views are measured here and at the end
    double rssTolerance = 0.05;   // how far the memory may grow between the two
    bool sanitized = false;       // the programs are an AddressSanitizer build: no memory limit
};
int runSoakCheck(const StressPaths& paths, const SoakOptions& options);

// Settings-change notifications from another process while a finger drags.
struct StormOptions {
    int posts = 10000;
    int postsPerWrite = 100;  // the poster writes the settings file anew this often
};
int runNotificationStorm(const StressPaths& paths, const StormOptions& options);

// The panel restarts SpringBoard over and over while --keep-alive keeps the device going.
struct RespringOptions {
    int restarts = 100;
    int unlockEvery = 1;  // an unlock after every this many restarts
};
int runRespringLoop(const StressPaths& paths, const RespringOptions& options);

// Several corvanectl processes and the settings panel writing their own keys at once, while a
// running SpringBoard reloads on every change.
struct WritersOptions {
    int writers = 8;    // corvanectl processes, each writing one key after another
    int changes = 500;  // changes of each writer, and of the panel
};
int runConcurrentWriters(const StressPaths& paths, const WritersOptions& options);

// Settings changes, each after more notifications of other names than a pipe holds.
struct FloodOptions {
    int rounds = 1000;
    long floodBytes = 64 * 1024;  // bytes of other notifications before each change
};
int runNotificationFlood(const StressPaths& paths, const FloodOptions& options);

// The panel's restart with pid files that are stale, another device's, an unrelated process's,
// garbage, a link or a pipe.
struct HostileRestartOptions {
    int rounds = 3;  // each round tries every kind of pid file on both devices
};
int runHostileRestart(const StressPaths& paths, const HostileRestartOptions& options);

// Every program writing onto /dev/full, into a closed pipe and onto a full file system.
int runOutputFailures(const StressPaths& paths);
