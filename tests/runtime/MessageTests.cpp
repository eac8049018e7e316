#include "platform/runtime/Message.h"
#include "platform/runtime/Substrate.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class Dimmer : public NSObject {
public:
    static Class class_();
    explicit Dimmer(Class cls = class_()) : NSObject(cls) {}
    float seconds = 0;
};

class Lamp : public Dimmer {};

inline constinit const Message<void(float seconds)> kRestartDimTimer{"restartDimTimer:"};
inline constinit const Message<std::string(Dimmer* other, bool loud)> kGreet{"greet:loud:"};
inline constinit const Message<int()> kMissing{"missingMessage"};
inline constinit const ClassMessage<id()> kShared{"sharedDimmer"};

void restartDimTimer(id self, SEL, float seconds) { static_cast<Dimmer*>(self)->seconds = seconds; }
std::string greet(id, SEL, Dimmer* other, bool loud) {
    return std::string(other ? "hello dimmer" : "hello nobody") + (loud ? "!" : "");
}
id sharedDimmer(Class, SEL) {
    static Dimmer shared;
    return &shared;
}

Class Dimmer::class_() {
    static const Class cls = objc_defineClass("TestDimmer", NSObject::class_(),
                                              {kRestartDimTimer.implementedBy(&restartDimTimer),
                                               kGreet.implementedBy(&greet),
                                               kShared.implementedBy(&sharedDimmer)});
    return cls;
}

// Whether `message` can be sent to a Dimmer with arguments of these types.
template <const auto& message, typename... Args>
constexpr bool sendable = requires(Dimmer* d, Args... args) { message.send(d, args...); };

// A message takes exactly its declared numbers: a double or an int where a float is declared
// does not compile, so nothing calls a float implementation with the bits of another type.
static_assert(sendable<kRestartDimTimer, float>);
static_assert(!sendable<kRestartDimTimer, double>);
static_assert(!sendable<kRestartDimTimer, int>);
static_assert(!sendable<kRestartDimTimer, bool>);
// Objects convert as pointers do: a subclass or nil where an object is declared, nothing else.
static_assert(sendable<kGreet, Lamp*, bool>);
static_assert(sendable<kGreet, std::nullptr_t, bool>);
static_assert(!sendable<kGreet, NSObject*, bool>);
static_assert(!sendable<kGreet, Lamp*, int>);
// The number of arguments is checked too.
static_assert(!sendable<kRestartDimTimer>);
static_assert(!sendable<kRestartDimTimer, float, float>);

TEST(Message, SendsThroughTheReceiversMethodTable) {
    Dimmer dimmer;
    kRestartDimTimer.send(&dimmer, 10.0f);
    EXPECT_EQ(dimmer.seconds, 10.0f);
    EXPECT_EQ(kGreet.send(&dimmer, &dimmer, true), "hello dimmer!");
    EXPECT_TRUE(kGreet.isAnsweredBy(&dimmer));
    EXPECT_FALSE(kMissing.isAnsweredBy(&dimmer));
    EXPECT_THROW(kMissing.send(&dimmer), std::logic_error);
}

TEST(Message, ToNilAnswersZero) {
    EXPECT_EQ(kGreet.send(nullptr, nullptr, true), "");
    EXPECT_EQ(kMissing.send(nullptr), 0);
    EXPECT_FALSE(kGreet.isAnsweredBy(nullptr));
    kRestartDimTimer.send(nullptr, 1.0f);
}

TEST(Message, ClassMessagesAnswerZeroForAMissingClassOrMethod) {
    EXPECT_NE(kShared.send(Dimmer::class_()), nullptr);
    EXPECT_EQ(kShared.send(nullptr), nullptr);
    EXPECT_EQ(kShared.send(NSObject::class_()), nullptr);
}

TEST(Message, AReplacementOfTheDeclaredTypeCallsOnThePrevious) {
    static Message<void(float)>::Implementation previous = nullptr;
    const Class lampClass = objc_registerClassPair("TestLamp", Dimmer::class_());
    MSHookMethod(ReplaceableMethod{"TestLamp", kRestartDimTimer},
                 [](id self, SEL cmd, float seconds) { previous(self, cmd, seconds * 2); },
                 &previous);
    ASSERT_NE(previous, nullptr);
    Dimmer plain, lamp(lampClass);
    kRestartDimTimer.send(&plain, 3.0f);
    kRestartDimTimer.send(&lamp, 3.0f);
    EXPECT_EQ(plain.seconds, 3.0f);  // the superclass keeps its own
    EXPECT_EQ(lamp.seconds, 6.0f);
}

}  // namespace
