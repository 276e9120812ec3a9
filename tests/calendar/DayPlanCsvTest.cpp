#include <gtest/gtest.h>

#include "calendar/view/DayPlanCsv.h"

namespace quirn::vorncal {
namespace {

constexpr std::string_view kFile =
    "DayPlanName,2,3,1,Early\r\n"
    "DayPlan,3,1,2,2025,3,17\r\n"
    "DayPlan,4,1,7,2025,3,18\r\n"
    "VacationPlan,3,1,2025,12,22,2026,1,2\r\n"
    "DayPlan,3,1,100,2025,5,26\n"
    "DayPlan,3,2,9,2025,5,27\r"
    "DayPlan,3,1,5\r\n"
    "DayPlans,3,1,5,2025,1,1\r\n"
    "DayPlan,3,1,70000,2025,6,1\r\n"
    "DayPlan,3,1,-1,2025,6,12,extra\r\n"
    "SWT,2005,12,25,12,0,0\r\n";

TEST(DayPlanCsv, MarksOfOneGroupInFileOrder) {
    const std::vector<DayMark> marks = groupDayMarks(kFile, {1, 3});
    EXPECT_EQ(marks, (std::vector<DayMark>{{2025, 3, 17, 2},
                                           {2025, 12, 22, 101},
                                           {2026, 1, 2, 102},
                                           {2025, 5, 26, 100},
                                           {2025, 6, 12, -1}}));
}

TEST(DayPlanCsv, GroupsAreTellApartByMasterGroupToo) {
    EXPECT_EQ(groupDayMarks(kFile, {2, 3}), (std::vector<DayMark>{{2025, 5, 27, 9}}));
    EXPECT_EQ(groupDayMarks(kFile, {1, 4}), (std::vector<DayMark>{{2025, 3, 18, 7}}));
    EXPECT_TRUE(groupDayMarks(kFile, {3, 2}).empty()) << "group comes before master group";
}

TEST(DayPlanCsv, FirstGroupIsThatOfTheFirstPlanLine) {
    EXPECT_EQ(firstGroup(kFile), (GroupId{1, 3}));
    EXPECT_FALSE(firstGroup("DayPlanName,2,3,1,x\nSWT,1\n"));
    EXPECT_FALSE(firstGroup(""));
}

TEST(DayPlanCsv, EmptyAndGarbledTextGiveNoMarks) {
    EXPECT_TRUE(groupDayMarks("", {1, 1}).empty());
    EXPECT_TRUE(groupDayMarks(",,,,\n\n\r\nDayPlan\nVacationPlan,1,1,2025\n", {1, 1}).empty());
}

}  // namespace
}  // namespace quirn::vorncal
