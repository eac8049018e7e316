// Failed preconditions: what is reported to the assertion handler, what the default handler
// does, and what a method answers when an installed handler lets it go on.

#include <gtest/gtest.h>

#include <functional>
#include <thread>

#include "ColourTestSupport.h"
#include "colour/UIColor_Expanded.h"

namespace {

using namespace UIColor_Expanded;
using colour_test::RecordingAssertions;

constexpr const char* kArithmetic = "Must be a RGB color to use arithmatic operations";

struct AssertionCase {
    const char* selector;
    int line;
    const char* description;
    // Sends the method to the receiver; true when its answer is the zero of its type.
    std::function<bool(const UIColorRef&)> answersZero;
};

const AssertionCase kRGBAssertions[] = {
    {"arrayFromRGBAComponents", 89, "Must be an RGB color to use -arrayFromRGBAComponents",
     [](auto& c) { return !arrayFromRGBAComponents(c); }},
    {"red", 131, "Must be an RGB color to use -red", [](auto& c) { return red(c) == 0; }},
    {"green", 137, "Must be an RGB color to use -green", [](auto& c) { return green(c) == 0; }},
    {"blue", 144, "Must be an RGB color to use -blue", [](auto& c) { return blue(c) == 0; }},
    {"white", 151, "Must be a Monochrome color to use -white",
     [](auto& c) { return white(c) == 0; }},
    {"rgbHex", 161, "Must be a RGB color to use rgbHex", [](auto& c) { return rgbHex(c) == 0; }},
    {"colorByLuminanceMapping", 178, kArithmetic,
     [](auto& c) { return !colorByLuminanceMapping(c); }},
    {"colorByMultiplyingByRed:green:blue:alpha:", 191, kArithmetic,
     [](auto& c) { return !colorByMultiplyingBy(c, 1); }},
    {"colorByAddingRed:green:blue:alpha:", 203, kArithmetic,
     [](auto& c) { return !colorByAdding(c, 1); }},
    {"colorByLighteningToRed:green:blue:alpha:", 215, kArithmetic,
     [](auto& c) { return !colorByLighteningTo(c, 1); }},
    {"colorByDarkeningToRed:green:blue:alpha:", 227, kArithmetic,
     [](auto& c) { return !colorByDarkeningTo(c, 1); }},
    {"stringFromColor", 293, "Must be an RGB color to use -stringFromColor",
     [](auto& c) { return !stringFromColor(c); }},
    {"rgbHex", 161, "Must be a RGB color to use rgbHex",
     [](auto& c) { return hexStringFromColor(c) == "000000"; }},
};

TEST(ColorAssertions, ReportSelectorReceiverFileLineAndDescription) {
    for (const AssertionCase& c : kRGBAssertions) {
        RecordingAssertions recorded;
        UIColorRef pattern = UIColor::pinStripeColor();
        EXPECT_TRUE(c.answersZero(pattern)) << c.selector;
        ASSERT_EQ(recorded.failures.size(), 1u) << c.selector;
        const colour_test::RecordedFailure& failure = recorded.failures[0];
        EXPECT_EQ(failure.selector, c.selector);
        EXPECT_EQ(failure.object, pattern.get());
        EXPECT_EQ(failure.file, "UIColor-Expanded");
        EXPECT_EQ(failure.line, c.line);
        EXPECT_EQ(failure.description, c.description);
    }
}

TEST(ColorAssertions, WhiteOfAnRGBColourIsAFailureButRedOfAGreyIsNot) {
    RecordingAssertions recorded;
    EXPECT_EQ(white(UIColor::colorWithRed(0.5, 0.5, 0.5, 1)), 0.0f);
    EXPECT_FLOAT_EQ(red(UIColor::colorWithWhite(0.5, 1)), 0.5f);
    EXPECT_EQ(recorded.lines(), std::vector<int>{151});
}

TEST(ColorAssertions, ColourFormsCheckTheReceiverThenTheFourComponentFormChecksAgain) {
    const struct {
        std::function<UIColorRef(const UIColorRef&, const UIColorRef&)> operation;
        std::vector<int> lines;
    } cases[] = {
        {colorByMultiplyingByColor, {255, 191}},
        {colorByAddingColor, {264, 203}},
        {colorByLighteningToColor, {273, 215}},
        {colorByDarkeningToColor, {282, 227}},
    };
    for (const auto& c : cases) {
        RecordingAssertions recorded;
        EXPECT_EQ(c.operation(UIColor::pinStripeColor(), UIColor::whiteColor()), nullptr);
        EXPECT_EQ(recorded.lines(), c.lines);
    }
}

TEST(ColorAssertions, DefaultHandlerRaisesAnInternalInconsistencyNamingTheFailure) {
    try {
        red(UIColor::pinStripeColor());
        FAIL() << "no exception";
    } catch (const NSException& exception) {
        EXPECT_STREQ(exception.name().c_str(), NSInternalInconsistencyException);
        EXPECT_EQ(exception.reason(),
                  "Assertion failure in red (UIColor-Expanded:131): "
                  "Must be an RGB color to use -red");
    }
}

TEST(ColorAssertions, AnInstalledHandlerServesOnlyItsOwnThreadUntilRemoved) {
    {
        RecordingAssertions recorded;
        bool otherThreadThrew = false;
        std::thread other([&] {
            try {
                rgbHex(UIColor::pinStripeColor());
            } catch (const NSException&) {
                otherThreadThrew = true;
            }
        });
        other.join();
        EXPECT_TRUE(otherThreadThrew);
        EXPECT_NO_THROW(rgbHex(UIColor::pinStripeColor()));
    }
    EXPECT_THROW(rgbHex(UIColor::pinStripeColor()), NSException);
}

}  // namespace
