#pragma once

// How the colour categories' methods are sent: a message to nil runs nothing and answers zero,
// and a failed precondition is reported to this thread's assertion handler.

#include <string_view>
#include <type_traits>

#include "platform/foundation/NSAssertionHandler.h"
#include "platform/uikit/UIColor.h"

namespace UIColor_Expanded::detail {

// The file name under which the categories report failed assertions.
inline constexpr std::string_view kAssertionFile = "UIColor-Expanded";

// The result of `method` for a receiver that exists; for nil, the zero of its result type
// (0, NO, nil, an empty text).
template <typename Method>
std::invoke_result_t<Method> sendTo(const UIColorRef& self, Method&& method) {
    if (!self) return {};
    return method();
}

// Reports the failed precondition of `selector` on `self` at `line` with `description` unless
// `holds`. Returns only when the handler returns; the default handler throws.
inline void require(bool holds, const UIColorRef& self, std::string_view selector, int line,
                    std::string_view description) {
    if (holds) return;
    NSAssertionHandler::currentHandler().handleFailureInMethod(selector, self.get(), kAssertionFile,
                                                               line, description);
}

}  // namespace UIColor_Expanded::detail
