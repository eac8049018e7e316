#pragma once

// The one settings record of the tweak library: every option with its default, read from the
// settings file and read again whenever the settings panel posts its change notification.

#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/PropertyList.h"
#include "platform/uikit/UIColor.h"
#include "tweak/settings/CVSettingsValues.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

// Where the settings panel stores the options (a device path).
inline constexpr const char* kCVSettingsFilePath =
    "/User/Library/Preferences/com.quillmoss.corvane.plist";

// Posted by the settings panel after each stored change; carries nothing.
inline constexpr const char* kCVPrefsUpdatedNotification = "com.quillmoss.corvane.prefsUpdated";


class CVSettings {
public:
    // The one record of the process, made (and loaded) on first use; never freed.
    static CVSettings& sharedCVSettings();

    // Loads the file, then observes the change notification for the life of the process.
    CVSettings();
    CVSettings(const CVSettings&) = delete;
    CVSettings& operator=(const CVSettings&) = delete;

    // Reads the settings file again: resets the reset fields to their defaults, then takes every
    // key the file holds, in the fixed key order. No file, or one that is not a property-list
    // dictionary, leaves the defaults.
    void loadSettings();

    // The same, from an already-read file: nothing for no file.
    void loadSettings(const std::optional<PlistDictionary>& file);

    bool enabled() const { return enabled_; }
    void setEnabled(bool value) { enabled_ = value; }
    bool hideLockClock() const { return hideLockClock_; }
    void setHideLockClock(bool value) { hideLockClock_ = value; }
    bool showStatusBarClock() const { return showStatusBarClock_; }
    void setShowStatusBarClock(bool value) { showStatusBarClock_ = value; }
    bool hideUnlockSlider() const { return hideUnlockSlider_; }
    void setHideUnlockSlider(bool value) { hideUnlockSlider_ = value; }
    bool playUnlockSound() const { return playUnlockSound_; }
    void setPlayUnlockSound(bool value) { playUnlockSound_ = value; }
    CVUnlockType unlockType() const { return unlockType_; }
    void setUnlockType(CVUnlockType value) { unlockType_ = value; }
    CVUnlockDirection unlockDirection() const { return unlockDirection_; }
    void setUnlockDirection(CVUnlockDirection value) { unlockDirection_ = value; }
    CVUnlockAnimation unlockAnimation() const { return unlockAnimation_; }
    void setUnlockAnimation(CVUnlockAnimation value) { unlockAnimation_ = value; }
    CVReleaseAnimation releaseAnimation() const { return releaseAnimation_; }
    void setReleaseAnimation(CVReleaseAnimation value) { releaseAnimation_ = value; }
    CVPageTurnDirection pageTurnDirection() const { return pageTurnDirection_; }
    void setPageTurnDirection(CVPageTurnDirection value) { pageTurnDirection_ = value; }
    CVPullDirection pullDirection() const { return pullDirection_; }
    void setPullDirection(CVPullDirection value) { pullDirection_ = value; }
    std::string badgeDesign() const;
    void setBadgeDesign(std::string value);
    double dragDistance() const { return dragDistance_; }
    void setDragDistance(double value) { dragDistance_ = value; }
    double turnDistance() const { return turnDistance_; }
    void setTurnDistance(double value) { turnDistance_ = value; }
    double overlayTransparency() const { return overlayTransparency_; }
    void setOverlayTransparency(double value) { overlayTransparency_ = value; }
    UIColorRef badgeColor() const;
    void setBadgeColor(UIColorRef value);

private:
    void resetDefaults();
    void readKeys(const PlistDictionary& file);

    std::atomic<bool> enabled_{true};
    std::atomic<bool> hideLockClock_{false};
    std::atomic<bool> showStatusBarClock_{false};
    std::atomic<bool> hideUnlockSlider_{false};
    std::atomic<bool> playUnlockSound_{false};
    std::atomic<CVUnlockType> unlockType_{CVUnlockType{0}};
    std::atomic<CVUnlockDirection> unlockDirection_{CVUnlockDirection{0}};
    std::atomic<CVUnlockAnimation> unlockAnimation_{CVUnlockAnimation{0}};
    std::atomic<CVReleaseAnimation> releaseAnimation_{CVReleaseAnimation{0}};
    std::atomic<CVPageTurnDirection> pageTurnDirection_{CVPageTurnDirection{0}};
    std::atomic<CVPullDirection> pullDirection_{CVPullDirection::Left};
    std::atomic<double> dragDistance_{1.0};
    std::atomic<double> turnDistance_{0.6};
    std::atomic<double> overlayTransparency_{0.3};
    // The two object properties are guarded as well, so a reader on another thread never sees
    // a string or a colour half replaced.
    mutable std::mutex objectMutex_;
    std::string badgeDesign_ = "Red";
    UIColorRef badgeColor_;
};

// The change-notification observer: reloads the shared record; ignores its arguments.
void PreferencesChangedCallback(CFNotificationCenterRef center, void* observer,
                                CFNotificationName name, const void* object,
                                CFDictionaryRef userInfo);
