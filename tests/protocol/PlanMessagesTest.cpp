#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DownloadFakes.h"
#include "plans/PlanDatabase.h"
#include "platform/Clock.h"
#include "platform/LocalTime.h"
#include "protocol/MessageFrame.h"
#include "protocol/PlanDownload.h"
#include "protocol/SentenceCommands.h"
#include "protocol/TimeCommands.h"

namespace quirn {
namespace {

// Wednesday 18 March 2026, 10:15:30 local time.
std::time_t wednesday() {
    return fromLocal(2026, 3, 18, 10, 15, 30);
}

class PlanMessages : public ::testing::Test {
  protected:
    void SetUp() override {
        Group& g = db.group(1, 1);
        g.addStep(Step::atTime(1, 1, 1, 8, 30, kCommandOff));
        g.addStep(Step::atTime(1, 1, 1, 7, 0, kCommandOn));
        db.addLocation(Location(1, 1, 2));
    }
    Group& group() { return *db.findGroup(1, 1); }
    Location& location() { return *db.findLocation(1, 1, 2); }
    std::string program(const Location& l, size_t capacity = kMessageBufferSize) {
        std::vector<char> buffer(capacity);
        return std::string(buffer.data(), download.locationProgram(l, buffer.data(), capacity));
    }
    std::string groupProgram(int mg, int g) {
        std::vector<char> buffer(kMessageBufferSize);
        return std::string(buffer.data(),
                           download.groupProgram(mg, g, buffer.data(), buffer.size()));
    }

    PlanDatabase db;
    ManualClock clock{wednesday()};
    test::FakeOverrides overrides;
    test::FakeSummer summer;
    Settings settings;
    PlanDownload download{db, clock, settings, &overrides, &summer};
};

TEST_F(PlanMessages, PlainWeekNeedsNoSpecialWeek) {
    EXPECT_EQ(download.specialWeekText(1, 1, 0, clock.now()), "");
    EXPECT_EQ(download.specialWeekText(7, 7, 0, clock.now()), "");  // no such group
}

TEST_F(PlanMessages, HolidayLaterInTheWeekGivesTheWholeWeek) {
    group().addAnnualPlan(AnnualPlan::on(1, 1, kPlanHoliday, 2026, 3, 20));  // Friday
    // Sunday's status (no annual plan) keeps its days; Friday gets no plan.
    EXPECT_EQ(download.specialWeekText(1, 1, 0, clock.now()),
              pagedMessage("@", 'W', 1, 0, "OH0OiU"));
}

TEST_F(PlanMessages, HolidayStartingTodayGivesTheRestOfTheWeek) {
    group().addAnnualPlan(AnnualPlan::on(1, 1, kPlanHoliday, 2026, 3, 18));  // today
    // Sunday..Tuesday 101, Wednesday 100, Thursday and Friday plan 1, Saturday 0.
    EXPECT_EQ(download.specialWeekText(1, 1, 2, clock.now()),
              pagedMessage("@", 'W', 1, 2, "GH0HH0GiUHiU"));
    // The day after: Thursday's own scan changes nothing, so Wednesday's text still stands.
    clock.set(fromLocal(2026, 3, 19, 9));
    EXPECT_EQ(download.specialWeekText(1, 1, 2, clock.now()),
              pagedMessage("@", 'W', 1, 2, "GH0HH0GiUHiU"));
    // A week later nothing is left to send.
    clock.set(fromLocal(2026, 3, 26, 9));
    EXPECT_EQ(download.specialWeekText(1, 1, 2, clock.now()), "");
}

TEST_F(PlanMessages, VacationCoveringTheWholeWeek) {
    group().addVacationPlan(VacationPlan::over(1, 1, 2026, 3, 14, 2026, 3, 29));
    // Every day is 101 and in the vacation: nothing differs.
    EXPECT_EQ(download.specialWeekText(1, 1, 0, clock.now()), "");
    // A day plan on Thursday inside the vacation changes the week, but as Thursday's plan is
    // its default plan, the days of the vacation's status send no plan at all.
    group().addAnnualPlan(AnnualPlan::on(1, 1, 1, 2026, 3, 19));
    EXPECT_EQ(download.specialWeekText(1, 1, 0, clock.now()), pagedMessage("@", 'W', 1, 0, ""));
    // Plan 2 on that Thursday is sent for Thursday alone.
    group().addStep(Step::atTime(1, 1, 2, 9, 0, kCommandOn));
    group().addAnnualPlan(AnnualPlan::on(1, 1, 2, 2026, 3, 19));
    EXPECT_EQ(download.specialWeekText(1, 1, 0, clock.now()), pagedMessage("@", 'W', 1, 0, "GJ0"));
}

TEST_F(PlanMessages, Qn510SequenceTimeDefaultWeekSpecialWeekOverride) {
    group().addAnnualPlan(AnnualPlan::on(1, 1, kPlanHoliday, 2026, 3, 20));
    const std::string t = TimeCommand(1, 1, clock, false).text();
    EXPECT_EQ(t, pagedMessage("@", 'T', 1, 0, "4KF"));
    const std::string d = "@D0102AH0AiU#33=>";
    const std::string w = pagedMessage("@", 'W', 1, 2, "OH0OiU");
    const std::string o = pagedMessage("@", 'O', 1, 0, "d");
    EXPECT_EQ(program(location()), t + d + w + o);

    // An override that exists but is not in force sends no 'O'.
    overrides.setInactive(1, 1);
    EXPECT_EQ(program(location()), t + d + w);

    // Only whole messages within the capacity.
    EXPECT_EQ(program(location(), t.size() + d.size() + 3), t + d);
    EXPECT_EQ(program(location(), t.size() - 1), "");
}

TEST_F(PlanMessages, TimeRoundsToTheNearerMinute) {
    clock.set(fromLocal(2026, 3, 18, 10, 15, 31));
    EXPECT_EQ(program(location()).substr(0, 14), pagedMessage("@", 'T', 1, 0, "4KG"));
}

TEST_F(PlanMessages, StriderSendsItsDelayTimeFirst) {
    Location strider(1, 1, 3);
    strider.model = static_cast<int>(TimeSwitchModel::Strider);
    strider.setStriderTimeCode(4);
    db.addLocation(strider);
    std::string p = program(*db.findLocation(1, 1, 3));
    EXPECT_EQ(p.substr(0, 12), "@E01034#" + p.substr(8, 4));
    EXPECT_EQ(p.substr(12, 14), pagedMessage("@", 'T', 1, 0, "4KF"));
}

TEST_F(PlanMessages, ImageModelsGetTheImageOrTheSentence) {
    Location mx(1, 1, 4);
    mx.model = static_cast<int>(TimeSwitchModel::MX40);
    db.addLocation(mx);
    std::string p = program(*db.findLocation(1, 1, 4));
    ASSERT_EQ(p.size(), 968u);
    ProgramImage image = download.buildImageFor(group(), 4);
    EXPECT_EQ(p, std::string(image.bytes().begin(), image.bytes().end()));

    Location lr(1, 1, 5);
    lr.model = static_cast<int>(TimeSwitchModel::LR40);
    db.addLocation(lr);
    std::string s = program(*db.findLocation(1, 1, 5));
    ASSERT_GT(s.size(), 7u);
    EXPECT_EQ(s.substr(0, 5), std::string("$S\x01\x01\x05", 5));
    // The length field counts "$", "*" and the two checksum characters.
    EXPECT_EQ((static_cast<uint8_t>(s[5]) << 8) | static_cast<uint8_t>(s[6]), s.size());
    EXPECT_EQ(s[s.size() - 3], '*');
    // Does not fit: nothing at all rather than a cut image.
    EXPECT_EQ(program(*db.findLocation(1, 1, 4), 967), "");
}

TEST_F(PlanMessages, GroupProgramNeedsAQn510) {
    EXPECT_EQ(groupProgram(1, 1), pagedMessage("@", 'D', 1, 0, "AH0AiU"));
    group().addAnnualPlan(AnnualPlan::on(1, 1, kPlanHoliday, 2026, 3, 20));
    EXPECT_EQ(groupProgram(1, 1),
              pagedMessage("@", 'D', 1, 0, "AH0AiU") + pagedMessage("@", 'W', 1, 0, "OH0OiU"));
    Group& g = db.group(2, 3);
    g.addStep(Step::atTime(2, 3, 1, 7, 0, kCommandOn));
    Location strider(2, 3, 1);
    strider.model = static_cast<int>(TimeSwitchModel::Strider);
    db.addLocation(strider);
    EXPECT_EQ(groupProgram(2, 3), "");
    EXPECT_EQ(groupProgram(9, 9), "");
}

TEST_F(PlanMessages, PagedTextsOfTheGroup) {
    group().addAnnualPlan(AnnualPlan::on(1, 1, kPlanHoliday, 2026, 3, 20));
    overrides.setActive(1, 1, {{0, 7, 0, 1}});
    download.buildImage(group());
    EXPECT_EQ(download.pagedTexts(1, 1),
              (std::vector<std::string>{pagedMessage("@", 'D', 1, 0, "AH0AiU"),
                                        pagedMessage("@", 'O', 1, 0, "BH0"),
                                        pagedMessage("@", 'W', 1, 0, "OH0OiU")}));
    EXPECT_TRUE(download.pagedTexts(5, 5).empty());
}

TEST_F(PlanMessages, ThirtyOverrideStepsAreSentInTimeOrder) {
    std::vector<PlanStep> steps;
    for (int i = 29; i >= 0; --i) steps.push_back({0, i % 24, (i * 7) % 60, i % 2});
    overrides.setActive(1, 1, steps);
    std::string o = download.overrideText(group());
    ASSERT_GT(o.size(), 7u + 90u);
    std::string data = o.substr(6, 90);
    int last = -1;
    for (size_t i = 0; i < data.size(); i += 3) {
        ASSERT_EQ(data[i], 'B');
        int hour = (data[i + 1] >= 'a' ? data[i + 1] - 'a' : data[i + 1] - 'A');
        char m = data[i + 2];
        int minute = m <= '9' ? m - '0' : m <= 'Z' ? m - 'A' + 10 : m - 'a' + 36;
        EXPECT_GE(hour * 60 + minute, last) << i;
        last = hour * 60 + minute;
    }
    // The image takes the first sixteen of them, in the same order.
    ProgramImage image = download.buildImageFor(group(), 2);
    EXPECT_EQ(image.bytes()[program_image::slotOffset(9)], 0x12);  // 00:00 first
}

TEST_F(PlanMessages, AnnualChangeDays) {
    group().addAnnualPlan(AnnualPlan::on(1, 1, 2, 2026, 3, 20));
    EXPECT_EQ(download.annualChangeText(group(), fromLocal(2026, 3, 19, 12)), "");
    EXPECT_EQ(download.annualChangeText(group(), fromLocal(2026, 3, 20, 12)),
              pagedMessage("@", 'D', 1, 0, ""));
    EXPECT_EQ(download.annualChangeText(group(), fromLocal(2026, 3, 21, 12)),
              pagedMessage("@", 'D', 1, 0, "AH0AiU"));
}

}  // namespace
}  // namespace quirn
