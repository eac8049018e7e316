#include "platform/foundation/NSAssertionHandler.h"

#include <string>
#include <utility>

#include "platform/foundation/NSLog.h"

NSException::NSException(std::string name, std::string reason)
    : name_(std::move(name)), reason_(std::move(reason)) {}

namespace {

// The platform keeps one handler per thread, so a handler installed by one thread never
// swallows the failures of another.
thread_local std::shared_ptr<NSAssertionHandler> installedHandler;

std::string failureText(std::string_view selector, std::string_view fileName, int lineNumber,
                        std::string_view description) {
    std::string text = "Assertion failure in ";
    text.append(selector).append(" (").append(fileName).append(":");
    text.append(std::to_string(lineNumber)).append("): ").append(description);
    return text;
}

}  // namespace

NSAssertionHandler& NSAssertionHandler::currentHandler() {
    // Handlers keep no state, so every thread may share the one default.
    static NSAssertionHandler defaultHandler;
    return installedHandler ? *installedHandler : defaultHandler;
}

void NSAssertionHandler::setCurrentHandler(std::shared_ptr<NSAssertionHandler> handler) {
    installedHandler = std::move(handler);
}

void NSAssertionHandler::handleFailureInMethod(std::string_view selector, const void* object,
                                               std::string_view fileName, int lineNumber,
                                               std::string_view description) {
    std::string reason = failureText(selector, fileName, lineNumber, description);
    NSLog("*** " + reason);
    throw NSException(NSInternalInconsistencyException, std::move(reason));
}
