#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Clock.h"
#include "platform/LocalTime.h"
#include "protocol/TimeCommands.h"
#include "sim/PagedTimeData.h"

namespace quirn::sim {
namespace {

TEST(PagedTimeDataTest, ReadsWhatTheStationSends) {
    ManualClock clock(fromLocal(2026, 1, 1));
    for (std::time_t when : {fromLocal(2026, 3, 16, 7, 30, 0), fromLocal(2026, 8, 1, 23, 59, 0),
                             fromLocal(2027, 1, 3, 0, 0, 0)}) {
        std::string text = TimeCommand(1, 1, clock, false, when).text();  // "@T0100" data "#..."
        std::optional<TimeOfWeek> t = parseTimeData(text.substr(6, text.find('#') - 6));
        ASSERT_TRUE(t) << text;
        LocalDateTime local = toLocal(when);
        EXPECT_EQ(t->weekday, local.weekday);
        EXPECT_EQ(t->hour, local.hour);
        EXPECT_EQ(t->minute, local.minute);

        std::string data = TimeDateCommand::dataFor(local);
        std::optional<DateAndZone> z = parseDateTimeData(data);
        ASSERT_TRUE(z) << data;
        EXPECT_EQ(z->local, local);
        EXPECT_EQ(z->zone, ZoneRule::northAmerican(5));
    }
}

TEST(PagedTimeDataTest, RefusesMalformedData) {
    const std::vector<std::string> badTimes = {"",    "2H",  "2HUx", "0HU", "8HU",
                                               "2hU", "2YU", "2Hy",  "2H*"};
    for (const std::string& d : badTimes) EXPECT_FALSE(parseTimeData(d)) << d;
    const std::vector<std::string> badDates = {
        "",
        "eG3F7U0F32B1x",
        "fG3F7U0F32B1",
        "eGDF7U0F32B1",  // month 13
        "eG2U7U0F32B1",  // 30 February
        "eG3FO00F32B1",  // hour 24
        "eG3F7U0Z32B1",  // 25 hours west
        "eG3F7U0F02B1",  // start month 0
        "eG3F7U0F32*1",
    };
    for (const std::string& d : badDates) EXPECT_FALSE(parseDateTimeData(d)) << d;
}

}  // namespace
}  // namespace quirn::sim
