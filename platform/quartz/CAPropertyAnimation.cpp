#include "platform/quartz/CAPropertyAnimation.h"

CV_REGISTER_CLASS(CAPropertyAnimation, CAAnimation)

CAPropertyAnimation::CAPropertyAnimation(std::string keyPath, Class cls)
    : CAAnimation(cls), keyPath_(std::move(keyPath)) {}
