# Views, windows, touches, recognisers, animation blocks, and the application, screen and device.
target_sources(UIKit PRIVATE
    UIApplication.cpp
    UIDevice.cpp
    UIEvent.cpp
    UIGestureRecognizer.cpp
    UIImageView.cpp
    UIPinchGestureRecognizer.cpp
    UIResponder.cpp
    UIRotationGestureRecognizer.cpp
    UIScreen.cpp
    UITouch.cpp
    UITouchInjector.cpp
    UITwoFingerGestureRecognizer.cpp
    UIView.cpp
    UIViewAnimation.cpp
    UIViewController.cpp
    UIWindow.cpp
)
target_link_libraries(UIKit PUBLIC QuartzCore)
