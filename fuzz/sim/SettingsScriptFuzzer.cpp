// Feeds arbitrary bytes to corvane-settings' script language as a whole script, line by line as
// the Settings host reads one: whatever the bytes, every line parses to a command, an error or
// nothing, and every command reads back the same when written out again.

#include "fuzz/sim/ScriptFuzzing.h"
#include "sim/settings/SettingsScript.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    script_fuzzing::checkScript(data, size, parseSettingsLine, settingsVerbName);
    return 0;
}
