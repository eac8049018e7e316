#pragma once

// The pictures the simulated SpringBoard draws for itself: wallpaper, home screen, the screens
// of applications, the linen texture, the lock-screen clock and the unlock bar. Each is drawn
// once per size into an image of the screen's scale; the same arguments give the same pixels.

#include "platform/graphics/CGGeometry.h"
#include "platform/uikit/UIImage.h"

#include <string>
#include <optional>
#include <string_view>

namespace SpringBoardArtwork {

// A night-sky gradient with soft hills: the lock screen's wallpaper.
UIImageRef wallpaper(CGSize size, CGFloat scale);

// The home screen: a grid of labelled icons over a gradient, and a dock.
UIImageRef homeScreen(CGSize size, CGFloat scale);

// The screen of the application `bundleIdentifier`: a title bar with its name and rows of
// content, in a colour of its own.
UIImageRef application(std::string_view bundleIdentifier, CGSize size, CGFloat scale);

// A woven grey texture.
UIImageRef linen(CGSize size, CGFloat scale);

// The clock of the lock screen: the time in large light digits over the date.
UIImageRef clockFace(std::string_view time, std::string_view date, CGSize size, CGFloat scale);

// The LCD while media controls show: previous, play and next over "Now Playing".
UIImageRef mediaControls(CGSize size, CGFloat scale);

// The unlock bar's track with its "slide to unlock" label, and its knob.
UIImageRef unlockTrack(CGSize size, CGFloat scale);
UIImageRef unlockKnob(CGSize size, CGFloat scale);

// The status bar while locked: the padlock or the time in the middle, as the flags say.
UIImageRef statusBar(CGSize size, CGFloat scale, bool lockVisible, bool timeVisible,
                     std::string_view time, bool clockItem);

// The passcode entry: a title over four boxes, the first `digitsEntered` of them holding a dot,
// and a keypad.
UIImageRef passcodeEntry(CGSize size, CGFloat scale, int digitsEntered = 0);
// The key of the passcode entry's keypad at `point`: '0' to '9', '\b' for the delete key, or
// nothing between and above the keys.
std::optional<char> passcodeKeyAt(CGSize size, CGPoint point);

// An alert box with a title and a message.
UIImageRef alertBox(std::string_view title, std::string_view message, CGSize size, CGFloat scale);

// The camera's viewfinder.
UIImageRef camera(CGSize size, CGFloat scale);

}  // namespace SpringBoardArtwork
