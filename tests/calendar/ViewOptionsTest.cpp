#include <gtest/gtest.h>

#include "calendar/com/VornCalendarTypeLib.h"
#include "calendar/view/EventPrinter.h"
#include "calendar/view/ViewOptions.h"

namespace quirn::vorncal {
namespace {

std::optional<ViewOptions> parse(std::vector<std::string> args, std::string* error = nullptr) {
    std::string e;
    auto o = parseViewOptions(args, e);
    if (error) *error = e;
    return o;
}

TEST(ViewOptions, Defaults) {
    auto o = parse({});
    ASSERT_TRUE(o);
    EXPECT_TRUE(o->root.empty());
    EXPECT_FALSE(o->group);
    EXPECT_EQ(o->activePlan, 0);
    EXPECT_FALSE(o->today);
    EXPECT_FALSE(o->registerServer);
}

TEST(ViewOptions, EveryOption) {
    auto o = parse({"--root", "/w", "--group", "2,15", "--active", "-2", "--today", "2024-02-29",
                    "--screenshot", "s.png", "--library", "/l/libvorncal.so", "--size", "900x600"});
    ASSERT_TRUE(o);
    EXPECT_EQ(o->root, "/w");
    EXPECT_EQ(o->group, (GroupId{2, 15}));
    EXPECT_EQ(o->activePlan, -2);
    ASSERT_TRUE(o->today);
    EXPECT_EQ(o->today->day, 29);
    EXPECT_EQ(o->screenshot, "s.png");
    EXPECT_EQ(o->library, "/l/libvorncal.so");
    EXPECT_EQ(o->width, 900);
    EXPECT_EQ(o->height, 600);
    EXPECT_TRUE(parse({"--register"})->registerServer);
    EXPECT_TRUE(parse({"--unregister"})->unregisterServer);
}

TEST(ViewOptions, ClicksInOrderWithKeysAndAPicture) {
    auto o = parse({"--click", "10,20", "--click-date", "2027-02-28", "--click-heading", "2027-03",
                    "--keys", "12", "--picture", "c.ppm"});
    ASSERT_TRUE(o);
    ASSERT_EQ(o->clicks.size(), 3u);
    EXPECT_EQ(o->clicks[0].target, ClickRequest::Target::Point);
    EXPECT_EQ(o->clicks[0].x, 10);
    EXPECT_EQ(o->clicks[0].y, 20);
    EXPECT_EQ(o->clicks[1].target, ClickRequest::Target::Date);
    EXPECT_EQ(o->clicks[1].date.day, 28);
    EXPECT_EQ(o->clicks[2].target, ClickRequest::Target::Heading);
    EXPECT_EQ(o->clicks[2].date.month, 3);
    EXPECT_EQ(o->keys, 12);
    EXPECT_EQ(o->picture, "c.ppm");
    for (std::vector<std::string> bad : {std::vector<std::string>{"--click", "10"},
                                         {"--click", "-1,5"},
                                         {"--click-date", "2027-02-30"},
                                         {"--click-heading", "2027-13"},
                                         {"--keys", "70000"},
                                         {"--picture"}})
        EXPECT_FALSE(parse(bad)) << bad[0];
}

TEST(ViewOptions, BadValuesAreRefused) {
    std::string error;
    for (std::vector<std::string> bad : {std::vector<std::string>{"--group", "3"},
                                         {"--group", "1,2,3"},
                                         {"--group", "a,b"},
                                         {"--active", "x"},
                                         {"--active", ""},
                                         {"--today", "2025-02-29"},
                                         {"--today", "2025-13-01"},
                                         {"--today", "2025-1"},
                                         {"--today", "2025-01-01x"},
                                         {"--size", "10x10"},
                                         {"--root"},
                                         {"--bogus"}}) {
        EXPECT_FALSE(parse(bad, &error)) << bad[0] << " " << (bad.size() > 1 ? bad[1] : "");
        EXPECT_FALSE(error.empty());
    }
}

TEST(EventPrinter, LinesOfTheTwoEvents) {
    const std::int16_t focus[] = {2025, 3, 14, 0x0005};
    EXPECT_EQ(eventLine(kEventNewFocusTime, {focus, 4}), "NewFocusTime 2025-03-14 ctrl=0x0005");
    EXPECT_EQ(eventLine(kEventNewLiftTime, {focus, 3}), "NewLiftTime 2025-03-14");
    EXPECT_EQ(eventLine(9, {focus, 2}), "event 9 2025 3");
    EXPECT_EQ(eventLine(kEventNewFocusTime, {focus, 2}), "event 1 2025 3");
}

}  // namespace
}  // namespace quirn::vorncal
