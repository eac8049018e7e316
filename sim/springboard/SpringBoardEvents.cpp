#include "sim/springboard/SpringBoardEvents.h"

namespace SpringBoardEvents {

namespace {
Sink& currentSink() {
    static Sink sink;
    return sink;
}
}  // namespace

void setSink(Sink sink) { currentSink() = std::move(sink); }

void emit(std::string_view event, const Fields& fields) {
    if (currentSink()) currentSink()(event, fields);
}

}  // namespace SpringBoardEvents
