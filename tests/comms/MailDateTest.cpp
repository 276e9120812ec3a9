// The Date header in zones east and west of UTC, with and without daylight saving, and with
// half-hour offsets: the numeric offset is what a mail program reads, a zone name is not.
#include <gtest/gtest.h>

#include <ctime>
#include <string>

#include "comms/MailDate.h"
#include "platform/Clock.h"
#include "platform/LocalTime.h"
#include "tests/support/TimeZoneSwitch.h"

namespace quirn {
namespace {

// 2026-12-09 13:43:02, 2026-07-15 12:00:00 and 1999-12-31 23:59:59 UTC.
constexpr std::time_t kWinter = 1796823782;
constexpr std::time_t kSummer = 1784116800;
constexpr std::time_t kCenturyEnd = 946684799;

struct DateCase {
    const char* posixZone;
    const char* windowsZone;
    std::time_t instant;
    const char* text;
    long offsetSeconds;
};

TEST(MailDate, NumericOffsetAndFourDigitYearInEachZone) {
    const DateCase cases[] = {
        {"Europe/Berlin", "CET-1CEST", kWinter, "Wed, 09 Dec 2026 14:43:02 +0100", 3600},
        {"Europe/Berlin", "CET-1CEST", kSummer, "Wed, 15 Jul 2026 14:00:00 +0200", 7200},
        {"Asia/Kolkata", "IST-5:30", kWinter, "Wed, 09 Dec 2026 19:13:02 +0530", 19800},
        {"America/New_York", "EST5EDT", kWinter, "Wed, 09 Dec 2026 08:43:02 -0500", -18000},
        {"America/New_York", "EST5EDT", kSummer, "Wed, 15 Jul 2026 08:00:00 -0400", -14400},
        {"America/St_Johns", "NST3:30NDT", kWinter, "Wed, 09 Dec 2026 10:13:02 -0330", -12600},
        {"UTC", "UTC0", kCenturyEnd, "Fri, 31 Dec 1999 23:59:59 +0000", 0},
        // The local date is a day ahead of UTC's: the offset still comes out whole.
        {"Asia/Kolkata", "IST-5:30", kCenturyEnd, "Sat, 01 Jan 2000 05:29:59 +0530", 19800},
    };
    for (const DateCase& c : cases) {
        SCOPED_TRACE(std::string(c.posixZone) + " " + c.text);
        test::TimeZoneSwitch zone(c.posixZone, c.windowsZone);
        ManualClock clock(c.instant);
        EXPECT_EQ(utcOffsetSeconds(clock.now()), c.offsetSeconds);
        EXPECT_EQ(mailDateText(clock.now()), c.text);
    }
}

TEST(MailDate, TheZoneIsPutBackAfterASwitch) {
    { test::TimeZoneSwitch zone("Asia/Kolkata", "IST-5:30"); }
    // The test main's zone: New York.
    EXPECT_EQ(mailDateText(kWinter), "Wed, 09 Dec 2026 08:43:02 -0500");
}

}  // namespace
}  // namespace quirn
