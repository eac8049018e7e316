#pragma once

// What makes one mail unlike another written from the same draft: its date, its identifier and
// the boundary between its parts.

#include <ctime>
#include <string>

struct MailStamp {
    // The Date header's value ("Tue, 04 Jun 2024 10:00:00 +0000").
    std::string date;
    // The Message-ID header's value, angle brackets included.
    std::string messageID;
    // A boundary between the parts; the composer lengthens it if a part happens to hold it.
    std::string boundary;
};

// A stamp for a mail written now: the wall clock's date (a mail's date is the machine's, not the
// run loop's, which may be virtual), and an identifier and a boundary that no other mail of this
// or another process shares.
MailStamp makeMailStamp();

// `time` as an Internet date in UTC, with English day and month names whatever the locale.
std::string mailDate(std::time_t time);
