#pragma once

// Core Animation's classes, declared for headers that only name them.

class CAAnimation;
class CAAnimationGroup;
class CABasicAnimation;
class CAFilter;
class CAKeyframeAnimation;
class CALayer;
class CAMediaTimingFunction;
class CAPropertyAnimation;
class CARenderer;
