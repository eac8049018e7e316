// Feeds arbitrary bytes to corvane-sim's script language as a whole script, line by line as the
// simulator reads one: whatever the bytes, every line parses to a command, an error or nothing,
// and every command reads back the same when written out again.

#include "fuzz/sim/ScriptFuzzing.h"
#include "sim/device/ScriptParser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    script_fuzzing::checkScript(data, size, parseScriptLine, scriptVerbName);
    return 0;
}
