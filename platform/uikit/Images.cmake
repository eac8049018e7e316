# Images with a scale, and UIKit's image contexts.
target_sources(UIKit PRIVATE UIImage.cpp UIGraphics.cpp)
