#include "platform/runtime/Substrate.h"
#include "platform/runtime/objc.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// An object of any runtime class, so that each test can make a hierarchy of its own.
class Object : public NSObject {
public:
    explicit Object(Class cls) : NSObject(cls) {}
    std::string speak() { return objc_msgSend<std::string>(this, sel_registerName("speak")); }
    int fetch(int sticks) { return objc_msgSend<int>(this, sel_registerName("fetch:"), sticks); }
};

std::string animalSpeak(id, SEL) { return "..."; }
int dogFetch(id, SEL, int sticks) { return sticks; }

using SpeakIMP = std::string (*)(id, SEL);
SpeakIMP savedSpeak = nullptr;
std::string loudSpeak(id self, SEL cmd) { return savedSpeak(self, cmd) + "!"; }

// A fresh Animal <- Dog <- Puppy for each test: "speak" on Animal, "fetch:" on Dog.
struct Classes : ::testing::Test {
    void SetUp() override {
        const std::string suffix = std::to_string(++count);
        animal = objc_registerClassPair("Animal" + suffix, NSObject::class_());
        dog = objc_registerClassPair("Dog" + suffix, animal);
        puppy = objc_registerClassPair("Puppy" + suffix, dog);
        class_replaceMethod(animal, sel_registerName("speak"), reinterpret_cast<IMP>(animalSpeak));
        class_replaceMethod(dog, sel_registerName("fetch:"), reinterpret_cast<IMP>(dogFetch));
    }
    static inline int count = 0;
    Class animal, dog, puppy;
};

TEST_F(Classes, AreFoundByNameAndKnowTheirAncestry) {
    EXPECT_EQ(objc_getClass(class_getName(dog)), dog);
    EXPECT_EQ(objc_getClass("NoSuchClass"), nullptr);
    EXPECT_EQ(objc_registerClassPair(class_getName(dog), nullptr), dog);  // registered once
    EXPECT_EQ(class_getSuperclass(puppy), dog);
    Object rex(puppy);
    EXPECT_TRUE(rex.isKindOfClass(animal));
    EXPECT_TRUE(rex.isMemberOfClass(puppy));
    EXPECT_FALSE(rex.isMemberOfClass(dog));
    EXPECT_FALSE(rex.isKindOfClass(nullptr));
}

TEST_F(Classes, InheritMethodsAndAnswerRespondsToSelector) {
    Object rex(puppy), generic(animal);
    EXPECT_EQ(rex.speak(), "...");
    EXPECT_EQ(rex.fetch(3), 3);
    EXPECT_TRUE(rex.respondsToSelector(sel_registerName("fetch:")));
    EXPECT_FALSE(generic.respondsToSelector(sel_registerName("fetch:")));
    EXPECT_THROW(generic.fetch(1), std::logic_error);
}

TEST_F(Classes, AMessageToNilAnswersZero) {
    EXPECT_EQ(objc_msgSend<int>(nullptr, sel_registerName("fetch:"), 4), 0);
    EXPECT_EQ(objc_msgSend<std::string>(nullptr, sel_registerName("speak")), "");
    objc_msgSend(nullptr, sel_registerName("speak"));
}

TEST_F(Classes, AHookReachesSubclassesAndCallsThePreviousImplementation) {
    IMP previous = nullptr;
    MSHookMessageEx(dog, sel_registerName("speak"), reinterpret_cast<IMP>(loudSpeak), &previous);
    savedSpeak = reinterpret_cast<SpeakIMP>(previous);
    ASSERT_EQ(previous, reinterpret_cast<IMP>(animalSpeak));
    Object rex(puppy), fido(dog), generic(animal);
    EXPECT_EQ(rex.speak(), "...!");
    EXPECT_EQ(fido.speak(), "...!");
    EXPECT_EQ(generic.speak(), "...");  // the superclass keeps its own
}

TEST_F(Classes, HookingAMissingClassOrSelectorChangesNothing) {
    IMP previous = reinterpret_cast<IMP>(animalSpeak);
    MSHookMessageEx(nullptr, sel_registerName("speak"), reinterpret_cast<IMP>(loudSpeak), &previous);
    EXPECT_EQ(previous, nullptr);
    MSHookMessageEx(animal, sel_registerName("bark"), reinterpret_cast<IMP>(loudSpeak), &previous);
    EXPECT_EQ(previous, nullptr);
    EXPECT_FALSE(class_respondsToSelector(animal, sel_registerName("bark")));
}

TEST_F(Classes, ARemovedSelectorIsGoneEvenWhereItWasInherited) {
    class_removeMethod(dog, sel_registerName("speak"));
    Object rex(puppy), generic(animal);
    EXPECT_FALSE(rex.respondsToSelector(sel_registerName("speak")));
    EXPECT_TRUE(generic.respondsToSelector(sel_registerName("speak")));
}

Class makeShared(Class, SEL) { return nullptr; }
int classCount(Class, SEL, int base) { return base + 1; }

TEST_F(Classes, ClassMethodsAreInheritedAndAMissingOneAnswersZero) {
    class_replaceClassMethod(animal, sel_registerName("count:"), imp_cast(&classCount));
    EXPECT_EQ(objc_msgSendClass<int>(puppy, sel_registerName("count:"), 41), 42);
    EXPECT_TRUE(class_respondsToClassSelector(puppy, sel_registerName("count:")));
    EXPECT_FALSE(class_respondsToSelector(puppy, sel_registerName("count:")));  // not an instance method
    EXPECT_EQ(objc_msgSendClass<int>(puppy, sel_registerName("missing")), 0);
    EXPECT_EQ(objc_msgSendClass<int>(nullptr, sel_registerName("count:"), 1), 0);
    const Class defined = objc_defineClass(
        "Defined" + std::to_string(count), NSObject::class_(),
        {{"shared", imp_cast(&makeShared), objc_method_entry::Kind::Class},
         {"speak", imp_cast(&animalSpeak)}});
    EXPECT_TRUE(class_respondsToClassSelector(defined, sel_registerName("shared")));
    EXPECT_TRUE(class_respondsToSelector(defined, sel_registerName("speak")));
}

}  // namespace
