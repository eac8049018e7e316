#pragma once

// A script run recorded as an animated picture: the recorder hooked to the runner, a progress
// line on a terminal, and the file written at the end.

#include "sim/device/ScriptRunner.h"

#include <filesystem>
#include <istream>
#include <string>

// Runs `script` with `runner`, recording the screen into `file` (animated WebP, 30 frames a
// second of clock time) and reporting progress under `name` when standard error is a terminal.
// The run's status; 2, with a line on standard error, when the file cannot be written (checked
// before the script starts). A run that fails leaves no recording, not even part of one.
int runRecordedScript(ScriptRunner& runner, std::istream& script, const std::filesystem::path& file,
                      const std::string& name);
