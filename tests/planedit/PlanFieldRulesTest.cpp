// The field rules the Plans window validates with while the technician types.
#include <gtest/gtest.h>

#include "planedit/PlanFieldRules.h"

namespace quirn {
namespace {

TEST(PlanFieldRules, Connections) {
    struct Row {
        const char* typed;
        bool ok;
    };
    const Row rows[] = {
        {"127.0.0.2", true},       {"127.0.0.1", true},    {"192.0.2.10", true},
        {"255.255.255.255", true}, {"0.0.0.0", false},     {"", false},
        {"192.0.2", false},        {"192.0.2.10.", false}, {"192.0.2.256", false},
        {"192.0.2.010", false},    {" 192.0.2.10", false}, {"192.0.2.1000", false},
        {"radio", false},          {"192.0.2.1,5", false}, {"1.2.3.4.5", false},
    };
    for (const Row& r : rows) EXPECT_EQ(checkConnection(r.typed).ok, r.ok) << r.typed;
    EXPECT_NE(checkConnection("0.0.0.0").problem.find("every link"), std::string::npos);
}

TEST(PlanFieldRules, Names) {
    EXPECT_TRUE(checkRecordName("Oak & 3rd St.", "group name"));
    EXPECT_TRUE(checkRecordName(std::string(kMaxRecordNameLength, 'x'), "group name"));
    EXPECT_FALSE(checkRecordName(std::string(kMaxRecordNameLength + 1, 'x'), "group name"));
    EXPECT_FALSE(checkRecordName("Oak, North", "group name"));
    EXPECT_FALSE(checkRecordName("", "group name"));
    EXPECT_FALSE(checkRecordName(" \t", "group name"));
    EXPECT_FALSE(checkRecordName("Oak\tNorth", "group name"));
    EXPECT_FALSE(checkRecordName("Oak\x7f", "group name"));
    EXPECT_NE(checkRecordName("a,b", "location name").problem.find("location name"),
              std::string::npos);
    // A summer plan's line is read whole, so a comma stays in its name.
    EXPECT_TRUE(checkSummerPlanName("Summer, 2027"));
    EXPECT_FALSE(checkSummerPlanName("Summer\n2027"));
    EXPECT_FALSE(checkSummerPlanName(""));
}

TEST(PlanFieldRules, Numbers) {
    EXPECT_TRUE(checkMasterGroupNumber(10, true));
    EXPECT_FALSE(checkMasterGroupNumber(11, true));
    EXPECT_FALSE(checkMasterGroupNumber(0, true));
    EXPECT_TRUE(checkMasterGroupNumber(1, false));
    EXPECT_FALSE(checkMasterGroupNumber(2, false));
    EXPECT_TRUE(checkGroupNumber(1));
    EXPECT_TRUE(checkGroupNumber(99));
    EXPECT_FALSE(checkGroupNumber(0));
    EXPECT_FALSE(checkGroupNumber(100));
    EXPECT_FALSE(checkLocationNumber(0));
    EXPECT_TRUE(checkLocationNumber(0, true));
    EXPECT_FALSE(checkLocationNumber(100, true));
    EXPECT_TRUE(checkUserDayPlanNumber(9));
    EXPECT_FALSE(checkUserDayPlanNumber(10));
    EXPECT_FALSE(checkUserDayPlanNumber(0));
    EXPECT_TRUE(checkModel(3));
    EXPECT_FALSE(checkModel(4));
    EXPECT_FALSE(checkModel(-1));
    EXPECT_TRUE(checkStriderTimeCode(9));
    EXPECT_FALSE(checkStriderTimeCode(10));
    EXPECT_EQ(parseNumberInRange(" 42 ", 1, 99), 42);
    EXPECT_EQ(parseNumberInRange("-3", -5, 5), -3);
    EXPECT_EQ(parseNumberInRange("100", 1, 99), std::nullopt);
    EXPECT_EQ(parseNumberInRange("4a", 1, 99), std::nullopt);
    EXPECT_EQ(parseNumberInRange("", 1, 99), std::nullopt);
    EXPECT_EQ(parseNumberInRange("99999999999", 1, 99), std::nullopt);
    EXPECT_FALSE(checkNumberText("0", 1, 99, "group"));
}

TEST(PlanFieldRules, Imsi) {
    EXPECT_TRUE(checkImsi(""));
    EXPECT_TRUE(checkImsi("310150123456789"));
    EXPECT_FALSE(checkImsi("3101501234567890"));
    EXPECT_FALSE(checkImsi("31015012345678a"));
    EXPECT_FALSE(checkImsi("310 150"));
}

TEST(PlanFieldRules, StepTimes) {
    struct Row {
        const char* typed;
        int hour;  // -1: refused
        int minute;
    };
    const Row rows[] = {
        {"00:00", 0, 0},  {"23:59", 23, 59}, {"7:05", 7, 5},    {"07:05", 7, 5}, {"24:00", -1, 0},
        {"12:60", -1, 0}, {"12:5", -1, 0},   {"1205", -1, 0},   {"", -1, 0},     {":30", -1, 0},
        {"-1:30", -1, 0}, {"123:00", -1, 0}, {"12:05 ", -1, 0},
    };
    for (const Row& r : rows) {
        const std::optional<ClockTime> t = parseStepTime(r.typed);
        EXPECT_EQ(checkStepTime(r.typed).ok, r.hour >= 0) << r.typed;
        if (r.hour < 0) {
            EXPECT_FALSE(t) << r.typed;
            continue;
        }
        ASSERT_TRUE(t) << r.typed;
        EXPECT_EQ(t->hour, r.hour);
        EXPECT_EQ(t->minute, r.minute);
    }
    EXPECT_EQ(stepTimeText(7, 5), "07:05");
}

}  // namespace
}  // namespace quirn
