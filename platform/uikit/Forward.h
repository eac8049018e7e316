#pragma once

// UIKit's classes, declared for headers that only name them, with the shared handles of those
// passed around by one.

#include <memory>

class UIApplication;
class UIColor;
class UIControl;
class UIDevice;
class UIEvent;
class UIGestureRecognizer;
class UIImage;
class UIImageView;
class UILabel;
class UINavigationController;
class UIResponder;
class UIScreen;
class UISlider;
class UISwitch;
class UITableView;
class UITableViewCell;
class UITouch;
class UITouchSet;
class UIView;
class UIViewController;
class UIWindow;

// A colour object; an empty pointer is nil.
using UIColorRef = std::shared_ptr<UIColor>;
// An image object; an empty pointer is nil.
using UIImageRef = std::shared_ptr<UIImage>;
