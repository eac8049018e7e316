#include "sim/device/ScriptRecording.h"

#include "sim/device/AnimationRecorder.h"
#include "sim/device/RecordingProgress.h"

#include <fstream>
#include <iostream>

int runRecordedScript(ScriptRunner& runner, std::istream& script, const std::filesystem::path& file,
                      const std::string& name) {
    // A file that cannot be written is found before the script runs, not after.
    if (!std::ofstream(file, std::ios::binary | std::ios::trunc)) {
        std::cerr << "corvane-sim: cannot write the recording " << file.string() << "\n";
        return 2;
    }
    AnimationRecorder recorder(file);
    RecordingProgress progress(RecordingProgress::terminalOrNull(), name);
    recorder.setFrameObserver(
        [&](int frames, ClockTime length) { progress.update(frames, length); });
    runner.recordAnimation(recorder);
    const int status = runner.run(script);
    progress.finish();
    const std::string failure = recorder.finish();
    if (failure.empty()) return status;
    std::cerr << "corvane-sim: cannot write the recording " << file.string() << ": " << failure
              << "\n";
    return 2;
}
