#pragma once

// The Settings application on a simulated device, with the Corvane panel: it loads the modules
// whose filter names it (the tweak library, whose colour utilities the panel uses), finds the
// panel through its PreferenceLoader entry, loads the bundle and shows the panel's list under a
// navigation bar. A script (or a person at the window) works it as a user would, and the trace
// records what the panel does: files it writes, notifications it posts, mail it sends, URLs it
// opens, commands it runs.

#include "sim/device/ScreenWindow.h"
#include "sim/device/Trace.h"
#include "sim/settings/SettingsScript.h"

#include <filesystem>
#include <istream>
#include <memory>
#include <optional>

class CARenderer;
class PSListController;
class UINavigationController;
class UIView;
class UIWindow;

class SimulatedSettings : public ScreenWindowDevice {
public:
    // Traces to `trace`; `recordFolder` receives "snap" pictures when set.
    SimulatedSettings(Trace& trace, std::optional<std::filesystem::path> recordFolder);
    ~SimulatedSettings() override;

    // Runs the script read from `in` line by line; 0 when every line ran, 2 after one that is
    // malformed or cannot run (with an "error" event naming it).
    int run(std::istream& in);
    // The line that ended the last run, when one did: a person reads it on standard error.
    const ScriptResult& failure() const { return failure_; }
    // Runs one command.
    ScriptResult perform(const SettingsCommand& command);

    // The device the panel opens on: its model and screen (points, pixels per point).
    void setDevice(const std::string& model, CGSize screen, CGFloat scale);
    // Opens the panel, as the "open" command does.
    ScriptResult open(const SettingsCommand& command);

    CGImageRef renderScreen() override;
    void touch(UITouchPhase phase, const std::vector<CGPoint>& points) override;
    // Esc or Backspace goes back a page, as the navigation bar's back button does.
    void key(int keyCode) override;

private:
    void traceHooks();
    void emitRows();
    ScriptResult setValue(const SettingsCommand& command);
    ScriptResult tap(const SettingsCommand& command);
    ScriptResult moveSlider(const SettingsCommand& command);
    ScriptResult finishMail(const SettingsCommand& command);
    ScriptResult dumpChooser(const SettingsCommand& command);
    ScriptResult snap(const SettingsCommand& command);
    // The newest colour chooser laid over the list; nil when none is open.
    UIView* chooser() const;

    Trace& trace_;
    ScriptResult failure_;
    std::optional<std::filesystem::path> recordFolder_;
    std::string model_ = "iPhone";
    CGSize screen_{320, 480};
    CGFloat screenScale_ = 1;
    std::shared_ptr<PSListController> panel_;
    std::shared_ptr<UINavigationController> navigation_;
    std::shared_ptr<UIWindow> window_;
    std::unique_ptr<CARenderer> renderer_;
    int logSink_ = 0;
};
