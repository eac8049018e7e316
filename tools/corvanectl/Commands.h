#pragma once

// The commands of corvanectl. Each prints its result on standard output and returns the exit
// status: 0 done, 1 no result (a colour that does not parse), 2 bad input or a failed edit.

#include <string>

// How `prefs set` takes its VALUE.
struct SetOptions {
    bool forceString = false;  // stored as a string
    bool raw = false;          // stored as given, whatever the key takes
};

int showPrefs();
int setPref(const std::string& key, const std::string& value, SetOptions options);
int deletePref(const std::string& key);
int resetPrefs();
int postNotification(const std::string& name);
int parseColour(const std::string& text);
int nameColour(const std::string& name);
int hexColour(const std::string& text);
