#include "sim/device/ScriptRecording.h"

#include "sim/device/AnimationRecorder.h"
#include "sim/device/RecordingProgress.h"

#include <cstdlib>
#include <iostream>
#include <unistd.h>

namespace {

// A new, empty file beside `file` to record into ("." NAME ".XXXXXX"), made exclusively; empty
// when the folder cannot take one.
std::filesystem::path temporaryBeside(const std::filesystem::path& file) {
    const auto folder = file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
    std::string name(1, '.');
    name.append(file.filename().string()).append(".XXXXXX");
    std::string pattern = (folder / name).string();
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) return {};
    ::close(fd);
    return pattern;
}

}  // namespace

int runRecordedScript(ScriptRunner& runner, std::istream& script, const std::filesystem::path& file,
                      const std::string& name) {
    // The recording is made under a temporary name, found writable before the script runs, and
    // given its own name only when the whole run has worked: a run that fails leaves nothing, and
    // an older recording of the same name stays until a new one is whole.
    const auto temporary = temporaryBeside(file);
    if (temporary.empty()) {
        std::cerr << "corvane-sim: cannot write the recording " << file.string() << "\n";
        return 2;
    }
    AnimationRecorder recorder(temporary);
    RecordingProgress progress(RecordingProgress::terminalOrNull(), name);
    recorder.setFrameObserver(
        [&](int frames, ClockTime length) { progress.update(frames, length); });
    runner.recordAnimation(recorder);
    const int status = runner.run(script);
    progress.finish();
    std::error_code ec;
    if (status != 0) {
        std::filesystem::remove(temporary, ec);
        return status;
    }
    const std::string failure = recorder.finish();
    if (failure.empty()) std::filesystem::rename(temporary, file, ec);
    if (failure.empty() && !ec) return 0;
    std::filesystem::remove(temporary, ec);
    std::cerr << "corvane-sim: cannot write the recording " << file.string() << ": "
              << (failure.empty() ? ec.message() : failure) << "\n";
    return 2;
}
