#pragma once

// Shared by the colour tests: matching a colour's stored model and components, and an assertion
// handler that records failures and returns instead of throwing.

#include <gmock/gmock.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/foundation/NSAssertionHandler.h"
#include "platform/uikit/UIColor.h"

namespace colour_test {

inline std::vector<float> storedComponents(const UIColorRef& color) {
    const float* first = CGColorGetComponents(color->CGColor());
    return {first, first + CGColorGetNumberOfComponents(color->CGColor())};
}

inline int32_t storedModel(const UIColorRef& color) {
    return CGColorSpaceGetModel(CGColorGetColorSpace(color->CGColor()));
}

// Matches a colour of `model` whose stored components equal `expected` as floats.
MATCHER_P2(IsColor, model, expected, "") {
    if (!arg) return false;
    *result_listener << "model " << storedModel(arg) << " ";
    return storedModel(arg) == model &&
           testing::ExplainMatchResult(testing::Pointwise(testing::FloatEq(), expected),
                                       storedComponents(arg), result_listener);
}

struct RecordedFailure {
    std::string selector;
    const void* object;
    std::string file;
    int line;
    std::string description;
};

// For its life, this thread's assertion handler records each failure and returns, so the
// failing method goes on past its check.
class RecordingAssertions : public NSAssertionHandler {
public:
    RecordingAssertions() {
        setCurrentHandler({this, [](NSAssertionHandler*) {}});
    }
    ~RecordingAssertions() override { setCurrentHandler(nullptr); }

    void handleFailureInMethod(std::string_view selector, const void* object,
                               std::string_view fileName, int lineNumber,
                               std::string_view description) override {
        failures.push_back({std::string(selector), object, std::string(fileName), lineNumber,
                            std::string(description)});
    }

    std::vector<int> lines() const {
        std::vector<int> lines;
        for (const RecordedFailure& failure : failures) lines.push_back(failure.line);
        return lines;
    }

    std::vector<RecordedFailure> failures;
};

}  // namespace colour_test
