#pragma once

// The device in a window: the screen as drawn now, the mouse as a finger, and keys for the
// buttons. Time runs on the machine's clock.

class SimulatedSpringBoard;

// Shows `springBoard` (booted) until the window is closed; answers 0, or 2 when no window can
// be opened (no display).
int runDeviceWindow(SimulatedSpringBoard& springBoard);
