#include <gtest/gtest.h>

#include "calendar/MarkStyle.h"

namespace quirn::calendar {
namespace {

TEST(MarkStyle, PlanCodeTexts) {
    EXPECT_EQ(planCodeText(100), "H");
    EXPECT_EQ(planCodeText(101), "V");
    EXPECT_EQ(planCodeText(102), "V");
    EXPECT_EQ(planCodeText(-1), "");
    EXPECT_EQ(planCodeText(0), "0");
    EXPECT_EQ(planCodeText(7), "7");
    EXPECT_EQ(planCodeText(103), "103");
    EXPECT_EQ(planCodeText(-5), "-5");
}

TEST(MarkStyle, Frames) {
    EXPECT_EQ(markFrame(-1), MarkFrame::Ellipse);
    EXPECT_EQ(markFrame(101), MarkFrame::OpeningBracket);
    EXPECT_EQ(markFrame(102), MarkFrame::ClosingBracket);
    EXPECT_EQ(markFrame(100), MarkFrame::Rectangle);
    EXPECT_EQ(markFrame(3), MarkFrame::Rectangle);
}

TEST(MarkStyle, TheActivePlanIsHighlighted) {
    DisplayState state{3, false};
    EXPECT_TRUE(isHighlighted(3, state));
    EXPECT_FALSE(isHighlighted(4, state));
    EXPECT_FALSE(isHighlighted(100, state));
}

TEST(MarkStyle, BothEndsOfAVacationFollowPlan101) {
    EXPECT_TRUE(isHighlighted(101, {101, false}));
    EXPECT_TRUE(isHighlighted(102, {101, false}));
    EXPECT_FALSE(isHighlighted(102, {102, false}));
    EXPECT_FALSE(isHighlighted(101, {100, false}));
}

TEST(MarkStyle, HighlightAllInvertsEveryTextMark) {
    const DisplayState all{3, true};
    for (std::int16_t code : {0, 1, 4, 100, 101, 102, 250}) EXPECT_TRUE(isHighlighted(code, all));
    EXPECT_FALSE(isHighlighted(-1, all)) << "a picked day is marked by its circle alone";
}

}  // namespace
}  // namespace quirn::calendar
