# Views, windows, touches, recognisers, animation blocks, and the application, screen and device;
# labels, controls (switches, sliders) and grouped tables, with the artwork they are drawn with.
target_sources(UIKit PRIVATE
    UIApplication.cpp
    UIColorPattern.cpp
    UIControl.cpp
    UIDevice.cpp
    UIEvent.cpp
    UIGestureRecognizer.cpp
    UIImageView.cpp
    UIKitArtwork.cpp
    UILabel.cpp
    UINavigationController.cpp
    UIPinStripes.cpp
    UIPinchGestureRecognizer.cpp
    UIResponder.cpp
    UIRotationGestureRecognizer.cpp
    UIScreen.cpp
    UISlider.cpp
    UISwitch.cpp
    UITableView.cpp
    UITableViewCell.cpp
    UITouch.cpp
    UITouchInjector.cpp
    UITwoFingerGestureRecognizer.cpp
    UIView.cpp
    UIViewAnimation.cpp
    UIViewController.cpp
    UIWindow.cpp
)
target_link_libraries(UIKit PUBLIC QuartzCore)
