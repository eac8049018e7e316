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
