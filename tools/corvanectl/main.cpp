// corvanectl: reads and edits the Corvane settings of a device, posts its notifications and
// tries out colour strings.

#include "platform/foundation/DeviceRoot.h"
#include "common/tooling/NearestWord.h"
#include "tools/corvanectl/Commands.h"

#include <CLI/CLI.hpp>

#include <signal.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <iostream>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace {

struct Options {
    std::optional<std::string> root;  // nothing without --root
    std::string key, value, name, text;
    SetOptions set;
};

constexpr const char* kDescription =
    "Reads and edits the Corvane settings of a simulated device, posts Darwin notifications to\n"
    "its processes, and tries out colour strings.\n\n"
    "Examples:\n"
    "  corvanectl prefs show\n"
    "  corvanectl prefs set cvrUnlockType 3        (a running SpringBoard reloads at once)\n"
    "  corvanectl prefs set cvrColor \"{1, 0, 0, 1}\"\n"
    "  corvanectl prefs set cvrUnlockType peel\n"
    "  corvanectl prefs set --raw cvrUnlockType 9   (any value, as given)\n"
    "  corvanectl colour parse \"{0.5, 1}\"\n"
    "  corvanectl colour name darkseagreen\n";

void addPrefsCommands(CLI::App& app, Options& o, std::function<int()>& run) {
    auto* prefs = app.add_subcommand("prefs", "Show or edit the settings file");
    prefs->require_subcommand(1);
    prefs->add_subcommand("show", "Print the settings as the tweak reads them (one JSON object)")
        ->callback([&] { run = [] { return showPrefs(); }; });
    auto* set = prefs->add_subcommand(
        "set", "Store VALUE under KEY, then post com.quillmoss.corvane.prefsUpdated.\n"
               "true/false/YES/NO is a boolean, an integer literal an integer, a decimal literal\n"
               "a real, anything else a string");
    set->add_option("KEY", o.key, "Settings key, such as cvrUnlockType")->required();
    set->add_option("VALUE", o.value, "The value")->required();
    set->add_flag("--string", o.set.forceString, "Store VALUE as a string whatever it looks like");
    set->add_flag("--raw", o.set.raw,
                  "Store VALUE as given, even for a key the tweak does not know or a value it "
                  "does not take (to try the tweak's own tolerance)");
    set->callback([&] { run = [&] { return setPref(o.key, o.value, o.set); }; });
    auto* del = prefs->add_subcommand("delete", "Remove KEY, then post the change notification");
    del->add_option("KEY", o.key, "Settings key")->required();
    del->callback([&] { run = [&] { return deletePref(o.key); }; });
    prefs->add_subcommand("reset", "Move the settings file aside (kept as NAME.old) and start "
                                   "afresh with the defaults, then post the change notification")
        ->callback([&] { run = [] { return resetPrefs(); }; });
}

void addColourCommands(CLI::App& app, Options& o, std::function<int()>& run) {
    auto* colour = app.add_subcommand("colour", "Read colours the way the tweak does");
    colour->alias("color");
    colour->require_subcommand(1);
    auto* parse = colour->add_subcommand("parse", "Parse a colour string such as \"{1, 0, 0, 1}\"");
    parse->add_option("TEXT", o.text, "Colour string")->required();
    parse->callback([&] { run = [&] { return parseColour(o.text); }; });
    auto* name = colour->add_subcommand("name", "Look up a CSS colour name such as \"teal\"");
    name->add_option("NAME", o.text, "Lower-case colour name")->required();
    name->callback([&] { run = [&] { return nameColour(o.text); }; });
    auto* hex = colour->add_subcommand("hex", "Read a hexadecimal colour such as \"ff8000\"");
    hex->add_option("TEXT", o.text, "Hexadecimal RGB value")->required();
    hex->callback([&] { run = [&] { return hexColour(o.text); }; });
}

// The command words corvanectl knows, each after the word it follows ("" for the first).
const std::vector<std::pair<std::string_view, std::vector<std::string_view>>> kCommandWords = {
    {"", {"prefs", "notify", "colour", "color"}},
    {"prefs", {"show", "set", "delete", "reset"}},
    {"colour", {"parse", "name", "hex"}},
    {"color", {"parse", "name", "hex"}},
};

// When a command word of the command line is none that corvanectl knows, the line that says so
// with the nearest known word; nothing otherwise.
std::optional<std::string> commandTypo(int argc, char** argv) {
    std::string_view after;
    for (int i = 1; i < argc; ++i) {
        const std::string_view word = argv[i];
        if (word == "--root") {
            ++i;
            continue;
        }
        if (word.starts_with("-")) continue;
        const auto known = std::find_if(kCommandWords.begin(), kCommandWords.end(),
                                        [&](const auto& level) { return level.first == after; });
        if (known == kCommandWords.end()) return std::nullopt;  // past the command words
        const auto& words = known->second;
        if (std::find(words.begin(), words.end(), word) != words.end()) {
            after = word;
            continue;
        }
        std::string line = "no command is called \"" + std::string(word.substr(0, 40)) + "\"";
        if (const auto nearest = nearestWord(word, words)) line += " (did you mean " + *nearest + "?)";
        return line;
    }
    return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
    // A reader that has gone is an output failure to report, not a silent death.
    ::signal(SIGPIPE, SIG_IGN);
    CLI::App app(kDescription, "corvanectl");
    Options o;
    std::function<int()> run;
    app.add_option_function<std::string>(
        "--root", [&o](const std::string& root) { o.root = root; },
        "Device root (default: ~/.local/share/corvane/device, made and filled on first use; a "
        "corvanectl run from a build tree uses the build's device folder)");
    app.require_subcommand(0, 1);  // none is reported below, so that an unknown word is named
    app.fallthrough();  // --root may come after the command too
    addPrefsCommands(app, o, run);
    auto* notify = app.add_subcommand("notify", "Post a Darwin notification to the device");
    notify->add_option("NAME", o.name, "Notification name")->required();
    notify->callback([&] { run = [&] { return postNotification(o.name); }; });
    addColourCommands(app, o, run);

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& help) {
        return app.exit(help);
    } catch (const CLI::ParseError& error) {
        std::cerr << "corvanectl: " << commandTypo(argc, argv).value_or(error.what())
                  << " (see corvanectl --help)\n";
        return 2;
    }
    if (const auto error = DeviceRoot::setFromOption(o.root)) {
        std::cerr << "corvanectl: " << *error << "\n";
        return 2;
    }
    if (!run) {
        std::cerr << "corvanectl: a command is required: prefs, notify or colour (see corvanectl "
                     "--help)\n";
        return 2;
    }
    errno = 0;
    const int status = run();
    // What was printed must have arrived: a full disk or a reader that has gone is a failure.
    std::cout.flush();
    if (!std::cout) {
        std::cerr << "corvanectl: cannot write to standard output: "
                  << (errno != 0 ? std::strerror(errno) : "the output refused it") << "\n";
        return 2;
    }
    return status;
}
