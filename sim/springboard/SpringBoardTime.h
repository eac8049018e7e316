#pragma once

// The time the simulated device shows: 9:41 in the morning at boot, moving with the clock.

#include <string>

namespace SpringBoardTime {

// Marks this moment of the run loop's clock as the boot.
void markBoot();
// "9:41", "10:05": hours and minutes since boot added to 9:41.
std::string timeText();
// The date under the lock-screen clock.
std::string dateText();

}  // namespace SpringBoardTime
