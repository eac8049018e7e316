#pragma once

// The platform's assertion handler and the exception it raises. Code that checks a precondition
// reports a failure to this thread's handler; the default handler logs it and raises an
// internal-inconsistency exception, so the failing operation ends there.

#include <exception>
#include <memory>
#include <string>
#include <string_view>

// The name of the exception a failed assertion raises.
inline constexpr const char* NSInternalInconsistencyException = "NSInternalInconsistencyException";

// A raised platform exception: a name saying what kind of failure, and a reason for people.
class NSException : public std::exception {
public:
    // An exception of kind `name` with the explanation `reason`.
    NSException(std::string name, std::string reason);

    // The kind of failure, e.g. NSInternalInconsistencyException.
    const std::string& name() const { return name_; }
    // The explanation, as given when the exception was made.
    const std::string& reason() const { return reason_; }
    // The reason, for code that only knows std::exception.
    const char* what() const noexcept override { return reason_.c_str(); }

private:
    std::string name_;
    std::string reason_;
};

// Receives failed assertions. Each thread has its own; a test may install one that returns, so
// the failing operation goes on past its check.
class NSAssertionHandler {
public:
    virtual ~NSAssertionHandler() = default;

    // This thread's handler: the one installed with setCurrentHandler, else the default.
    static NSAssertionHandler& currentHandler();

    // Installs `handler` for this thread; nullptr restores the default handler.
    static void setCurrentHandler(std::shared_ptr<NSAssertionHandler> handler);

    // Reports that a precondition of the method `selector` failed for `object`, checked at
    // `fileName`:`lineNumber`. The default logs the failure and throws an NSException named
    // NSInternalInconsistencyException whose reason names the method, file, line and description.
    virtual void handleFailureInMethod(std::string_view selector, const void* object,
                                       std::string_view fileName, int lineNumber,
                                       std::string_view description);
};
