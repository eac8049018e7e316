#include "ScreenTestSupport.h"

#include "platform/graphics/CGContext.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UIScreen.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const CGTextStyle kBody{17, CGTextWeight::Regular, CGTextAlignment::Left, nullptr};
constexpr const char* kEllipsis = "\u2026";

// The width one line of `text` takes.
CGFloat widthOf(const std::string& text) {
    return CGTextMeasureBlock(text, 1e6f, kBody, {}).width;
}

bool endsWithEllipsis(const std::string& line) {
    return line.size() >= 3 && line.compare(line.size() - 3, 3, kEllipsis) == 0;
}

struct BreakCase {
    const char* name;
    std::string text;
    CGFloat width;
    CGTextBlockLayout layout;
    std::vector<std::string> lines;
};

TEST(CGTextBlock, BreaksBetweenWordsWhereTheWidthEndsAndAtEveryNewline) {
    const CGFloat twoWords = std::max(widthOf("alpha beta"), widthOf("gamma delta")) + 1;
    ASSERT_LT(twoWords, widthOf("alpha beta gamma"));
    const BreakCase cases[] = {
        {"wraps", "alpha beta gamma delta", twoWords, {}, {"alpha beta", "gamma delta"}},
        {"all fits", "alpha beta", 1000, {}, {"alpha beta"}},
        {"newline", "alpha\nbeta", 1000, {}, {"alpha", "beta"}},
        {"empty line kept", "alpha\n\nbeta", 1000, {}, {"alpha", "", "beta"}},
        {"spaces at a break dropped", "alpha beta   gamma", twoWords, {}, {"alpha beta", "gamma"}},
        {"word wrap drops what the lines cannot hold",
         "alpha beta gamma delta",
         twoWords,
         {CGLineBreakMode::WordWrap, 1},
         {"alpha beta"}},
        {"room to spare",
         "alpha beta",
         twoWords,
         {CGLineBreakMode::TruncateTail, 1},
         {"alpha beta"}},
    };
    for (const BreakCase& c : cases) {
        EXPECT_EQ(CGTextBreakIntoLines(c.text, c.width, kBody, c.layout), c.lines) << c.name;
    }
    EXPECT_TRUE(CGTextBreakIntoLines("", 100, kBody, {}).empty());
}

TEST(CGTextBlock, BreaksAWordWiderThanTheLineBetweenCharacters) {
    const std::string word = "abcdefghijklmnopqrstuvwxyz";
    const CGFloat width = widthOf("abcdefgh");
    const auto lines = CGTextBreakIntoLines(word, width, kBody, {});
    ASSERT_GE(lines.size(), 3u);
    std::string joined;
    for (const std::string& line : lines) {
        EXPECT_LE(widthOf(line), width) << line;
        joined += line;
    }
    EXPECT_EQ(joined, word);
}

TEST(CGTextBlock, TruncationEndsTheLastLineWithAsMuchOfTheRestAsFitsAndAnEllipsis) {
    const std::string text = "alpha beta gamma delta epsilon zeta eta theta iota kappa lambda";
    const CGFloat width = widthOf("alpha beta gamma") + 1;
    for (int limit : {1, 2}) {
        const auto lines =
            CGTextBreakIntoLines(text, width, kBody, {CGLineBreakMode::TruncateTail, limit});
        ASSERT_EQ(lines.size(), size_t(limit));
        const std::string& last = lines.back();
        EXPECT_TRUE(endsWithEllipsis(last)) << last;
        EXPECT_LE(widthOf(last), width) << last;
        // What comes before the ellipsis is the text that follows the lines above.
        std::string before;
        for (int i = 0; i + 1 < limit; ++i) before += lines[size_t(i)] + " ";
        EXPECT_EQ(text.find(before + last.substr(0, last.size() - 3)), 0u) << last;
        EXPECT_GT(last.size(), 3u + 4u) << "the line is filled, not cut at its first word";
    }
}

TEST(CGTextBlock, MeasuresTheWidestLineAndTheLinesHeight) {
    const CGFloat lineHeight = CGTextGetLineHeight(kBody);
    EXPECT_GT(lineHeight, 17);
    EXPECT_LT(lineHeight, 24);
    const CGSize size = CGTextMeasureBlock("alpha\nbeta gamma", 1000, kBody, {});
    EXPECT_EQ(size.width, std::ceil(widthOf("beta gamma") - 0.01f));
    EXPECT_EQ(size.height, std::ceil(2 * lineHeight - 0.01f));
}

TEST(CGTextBlock, SetsTheFirstLineAtTheTopOfTheRectInEitherSpace) {
    for (bool flipped : {false, true}) {
        const CGContextRef ctx = CGBitmapContextCreate(200, 100);
        if (flipped) {
            CGContextTranslateCTM(ctx, 0, 100);
            CGContextScaleCTM(ctx, 1, -1);
        }
        CGTextStyle style = kBody;
        style.color = CGColorCreate(CGColorSpaceCreateDeviceGray(), {0, 1});
        CGContextShowTextBlockInRect(ctx, "mmmmmmmm\nm", CGRectMake(10, 10, 180, 80), style, {});
        const CGImageRef image = CGBitmapContextCreateImage(ctx);
        // Ink per row, top row first: the long line must come first.
        long firstLine = 0, secondLine = 0;
        const size_t split = 10 + size_t(CGTextGetLineHeight(kBody));
        for (size_t y = 0; y < 100; ++y) {
            for (size_t x = 0; x < 200; ++x) {
                if (CGImageGetPixelForTesting(image, x, y).a < 128) continue;
                (y < split ? firstLine : secondLine) += 1;
            }
        }
        EXPECT_GT(firstLine, 4 * secondLine) << flipped;
        EXPECT_GT(secondLine, 0) << flipped;
        EXPECT_GE(CGRectGetMinY(inkOf(image).bounds), 10) << flipped;
    }
}

// Lines without descenders, so that each line of ink is a band of its own.
const std::string kSixWords = "house trial hollow meadow winter clover";

std::shared_ptr<UILabel> label(CGFloat width, int lines, UILineBreakMode mode) {
    auto label = UIView::create<UILabel>(CGRectMake(0, 0, width, 200));
    label->setNumberOfLines(lines);
    label->setLineBreakMode(mode);
    label->setText(kSixWords);
    return label;
}

TEST(UILabel, WrapsIntoTheNumberOfLinesItsWidthNeeds) {
    const CGFloat lineHeight = CGTextGetLineHeight(kBody);
    const CGFloat twoWords = widthOf("meadow winter") + 2;  // the widest pair
    const auto wrapped = label(twoWords, 0, UILineBreakModeWordWrap);
    EXPECT_EQ(wrapped->sizeThatFits({twoWords, 0}).height, std::ceil(3 * lineHeight - 0.01f));
    EXPECT_EQ(inkOf(wrapped->layer()->contents()).bands, 3);

    const auto oneLine = label(1000, 0, UILineBreakModeWordWrap);
    EXPECT_EQ(inkOf(oneLine->layer()->contents()).bands, 1);
}

TEST(UILabel, TruncatesWithAnEllipsisWhenItsLinesAreLimited) {
    const CGFloat twoWords = widthOf("meadow winter") + 2;
    for (int limit : {1, 2}) {
        const auto limited = label(twoWords, limit, UILineBreakModeTailTruncation);
        const Ink ink = inkOf(limited->layer()->contents());
        EXPECT_EQ(ink.bands, limit);
        EXPECT_LE(CGRectGetMaxX(ink.bounds), twoWords);
        const auto lines = CGTextBreakIntoLines(kSixWords, twoWords, kBody,
                                                {CGLineBreakMode::TruncateTail, limit});
        EXPECT_TRUE(endsWithEllipsis(lines.back())) << lines.back();
    }
    // A label's height limits its lines too.
    const auto low = label(twoWords, 0, UILineBreakModeTailTruncation);
    low->setFrame(CGRectMake(0, 0, twoWords, CGTextGetLineHeight(kBody) * 2 + 4));
    EXPECT_EQ(inkOf(low->layer()->contents()).bands, 2);
}

TEST(UILabel, AlignsItsLinesAndCentresThemVertically) {
    struct Case {
        UITextAlignment alignment;
        CGFloat minX, maxX;  // where the ink may lie in a 300-point label
    } const cases[] = {{UITextAlignmentLeft, 0, 100},
                       {UITextAlignmentCenter, 100, 200},
                       {UITextAlignmentRight, 200, 300}};
    for (const Case& c : cases) {
        auto short_ = UIView::create<UILabel>(CGRectMake(0, 0, 300, 60));
        short_->setText("hi");
        short_->setTextAlignment(c.alignment);
        const Ink ink = inkOf(short_->layer()->contents());
        EXPECT_GE(CGRectGetMinX(ink.bounds), c.minX) << c.alignment;
        EXPECT_LE(CGRectGetMaxX(ink.bounds), c.maxX) << c.alignment;
        EXPECT_NEAR(CGRectGetMidY(ink.bounds), 30, 4) << c.alignment;
    }
}

TEST(UILabel, RedrawsAtTheScreenScaleWhenItsTextOrSizeChanges) {
    UIScreen::mainScreen()->setScale(2);
    auto shown = UIView::create<UILabel>(CGRectMake(0, 0, 100, 30));
    shown->setText("hello");
    EXPECT_EQ(CGImageGetWidth(shown->layer()->contents()), 200u);
    EXPECT_EQ(CGImageGetHeight(shown->layer()->contents()), 60u);
    shown->setFrame(CGRectMake(10, 10, 150, 40));
    EXPECT_EQ(CGImageGetWidth(shown->layer()->contents()), 300u);
    const CGImageRef before = shown->layer()->contents();
    shown->setTextColor(UIColor::whiteColor());
    EXPECT_NE(shown->layer()->contents(), before);
    const Ink ink = inkOf(shown->layer()->contents());
    const CGImagePixel middle =
        CGImageGetPixelForTesting(shown->layer()->contents(), size_t(CGRectGetMinX(ink.bounds) + 1),
                                  size_t(CGRectGetMidY(ink.bounds)));  // on the h's stem
    EXPECT_EQ(middle.r + middle.g + middle.b, 3 * 255);
    EXPECT_GT(middle.a, 200);
    shown->setText("");
    EXPECT_EQ(shown->layer()->contents(), nullptr);
    UIScreen::mainScreen()->setScale(1);
}

TEST(UILabel, SizesToFitItsTextAndTakesNoTouches) {
    auto sized = UIView::create<UILabel>(CGRectMake(5, 6, 10, 10));
    sized->setText("alpha beta");
    sized->sizeToFit();
    EXPECT_EQ(sized->frame().origin, (CGPoint{5, 6}));
    EXPECT_EQ(sized->frame().size, CGTextMeasureBlock("alpha beta", 1e6f, kBody, {}));
    EXPECT_EQ(sized->hitTest({2, 2}, nullptr), nullptr);
}

}  // namespace
