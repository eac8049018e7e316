#pragma once

// The runtime's types, declared for headers that pass objects, classes and selectors around
// without sending anything through them.

class NSObject;
class objc_class;
struct objc_selector;

using id = NSObject*;
using Class = objc_class*;
// A selector: one per name for the life of the process, so selectors compare as pointers.
using SEL = const objc_selector*;
