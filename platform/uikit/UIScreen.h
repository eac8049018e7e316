#pragma once

// The device's screen: its bounds in points and its scale (pixels per point), which the host
// sets before boot.

#include "platform/graphics/CGGeometry.h"
#include "platform/runtime/NSObject.h"

class UIScreen : public NSObject {
public:
    CV_DECLARE_CLASS()

    // The one screen, 320 × 480 points at scale 1 until the host says otherwise.
    static UIScreen* mainScreen();

    explicit UIScreen(Class cls = class_());

    CGRect bounds() const { return bounds_; }
    void setBounds(CGRect bounds) { bounds_ = bounds; }
    CGFloat scale() const { return scale_; }
    // Pixels per point; values below 1 are taken as 1.
    void setScale(CGFloat scale) { scale_ = scale < 1 ? 1 : scale; }

private:
    CGRect bounds_{{0, 0}, {320, 480}};
    CGFloat scale_ = 1;
};
