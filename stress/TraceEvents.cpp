#include "stress/TraceEvents.h"

#include <fstream>
#include <sstream>
#include <string>

std::optional<Event> readEventsUntil(ChildProcess& child, Deadline deadline,
                                     const std::function<bool(const Event&)>& stop,
                                     std::vector<Event>& seen) {
    while (const auto line = child.readLine(deadline)) {
        Event event = Event::parse(*line, nullptr, false);
        if (event.is_discarded() || !event.is_object()) {
            event = {{"ev", "not-json"}, {"text", *line}};
        }
        seen.push_back(event);
        if (stop(event)) return event;
    }
    return std::nullopt;
}

bool sendThroughMarker(ChildProcess& sim, const std::string& lines, const std::string& marker,
                       Deadline deadline, std::vector<Event>& seen) {
    return sim.send(lines + "notify " + marker + "\n", deadline) &&
           readEventsUntil(sim, deadline, [&](const Event& e) { return isNotification(e, marker); },
                           seen);
}

std::unique_ptr<ChildProcess> bootSpringBoard(const std::filesystem::path& program,
                                              const std::filesystem::path& root,
                                              const std::vector<std::string>& options,
                                              double seconds) {
    std::vector<std::string> arguments{"--root", root.string()};
    arguments.insert(arguments.end(), options.begin(), options.end());
    arguments.insert(arguments.end(), {"--script", "-"});
    auto sim = std::make_unique<ChildProcess>(program, arguments, root / "sim-stderr.txt");
    std::vector<Event> seen;
    const bool booted =
        sendThroughMarker(*sim, "boot\n", "corvane.stress.booted", deadlineIn(seconds), seen);
    return booted ? std::move(sim) : nullptr;
}

bool isEvent(const Event& event, std::string_view name) {
    const auto found = event.find("ev");
    return found != event.end() && found->is_string() && found->get<std::string>() == name;
}

bool isNotification(const Event& event, std::string_view name) {
    if (!isEvent(event, "notification")) return false;
    const auto found = event.find("name");
    return found != event.end() && found->is_string() && found->get<std::string>() == name;
}

int countEvents(const std::vector<Event>& events, std::string_view name) {
    int count = 0;
    for (const auto& event : events) count += isEvent(event, name);
    return count;
}

int countViews(const Event& views) {
    if (views.is_array()) {
        int count = 0;
        for (const auto& view : views) count += countViews(view);
        return count;
    }
    if (!views.is_object()) return 0;
    const auto subviews = views.find("subviews");
    return 1 + (subviews == views.end() ? 0 : countViews(*subviews));
}

long residentKiB(pid_t pid, std::string_view field) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    const std::string label = std::string(field) + ":";
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(label, 0) != 0) continue;
        std::istringstream fields(line.substr(label.size()));
        long kib = -1;
        if (!(fields >> kib) || kib < 0) return -1;  // a line that does not read as a figure
        return kib;
    }
    return -1;
}
