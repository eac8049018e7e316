#include "platform/messageui/MailStamp.h"

#include <unistd.h>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <random>

namespace {

// 64 bits from the system's random source, so that two processes started in the same
// microsecond still make different identifiers.
std::uint64_t randomBits() {
    std::random_device source;
    return std::uint64_t{source()} << 32 | source();
}

std::uint64_t nextSerial() {
    static std::atomic<std::uint64_t> serial{0};
    return ++serial;
}

}  // namespace

std::string mailDate(std::time_t time) {
    static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::tm utc{};
    if (!::gmtime_r(&time, &utc)) return "Thu, 01 Jan 1970 00:00:00 +0000";
    char text[40];
    std::snprintf(text, sizeof text, "%s, %02d %s %04d %02d:%02d:%02d +0000", kDays[utc.tm_wday],
                  utc.tm_mday, kMonths[utc.tm_mon], utc.tm_year + 1900, utc.tm_hour, utc.tm_min,
                  utc.tm_sec);
    return text;
}

MailStamp makeMailStamp() {
    const std::time_t now = std::time(nullptr);
    const std::uint64_t serial = nextSerial();
    char id[96];
    std::snprintf(id, sizeof id, "<%lld.%ld.%llu.%016llx@corvane.invalid>",
                  static_cast<long long>(now), static_cast<long>(::getpid()),
                  static_cast<unsigned long long>(serial),
                  static_cast<unsigned long long>(randomBits()));
    char boundary[48];
    // "=_" can appear in neither quoted-printable nor base64, the only encodings of the parts.
    std::snprintf(boundary, sizeof boundary, "=_corvane_%016llx",
                  static_cast<unsigned long long>(randomBits()));
    return {mailDate(now), id, boundary};
}
