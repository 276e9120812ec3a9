#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DownloadFakes.h"
#include "plans/PlanDatabase.h"
#include "platform/Clock.h"
#include "platform/LocalTime.h"
#include "protocol/Bcd.h"
#include "protocol/MessageFrame.h"
#include "protocol/PlanDownload.h"
#include "protocol/TimeCommands.h"

namespace quirn {
namespace {

namespace pi = program_image;

// Wednesday 18 March 2026, 10:15:30 local time.
std::time_t wednesday() {
    return fromLocal(2026, 3, 18, 10, 15, 30);
}

class PlanDownloadTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Group& g = db.group(1, 1);
        g.addStep(Step::atTime(1, 1, 1, 8, 30, kCommandOff));  // out of order on purpose
        g.addStep(Step::atTime(1, 1, 1, 7, 0, kCommandOn));
        db.addLocation(Location(1, 1, 2));
    }
    Group& group() { return *db.findGroup(1, 1); }
    size_t slotSteps(const ProgramImage& image, int plan) {
        size_t n = 0;
        while (n < pi::kStepsPerSlot && image.bytes()[pi::slotOffset(plan) + 4 * n] != 0) ++n;
        return n;
    }

    PlanDatabase db;
    ManualClock clock{wednesday()};
    test::FakeOverrides overrides;
    test::FakeSummer summer;
    Settings settings;
    PlanDownload download{db, clock, settings, &overrides, &summer};
};

TEST_F(PlanDownloadTest, ImageHeaderTrailerAndBuildStamp) {
    db.group(3, 42).setDefaultDay(1, 2);
    ProgramImage image = download.buildImageFor(*db.findGroup(3, 42), 17);
    const auto& b = image.bytes();
    EXPECT_TRUE(image.isValid());
    EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "MX40");
    EXPECT_EQ(b[4], 0x03);
    EXPECT_EQ(b[5], 0x42);
    EXPECT_EQ(b[6], 0x17);
    EXPECT_EQ(b[7], '0');
    EXPECT_EQ(b[8], '0');
    // Build time in slot 0 as plain numbers, then the constants 2, "9", "1", "5".
    const std::vector<uint8_t> stamp = {26, 3, 18, 10, 15, 30, 2, '9', '1', '5'};
    for (size_t i = 0; i < stamp.size(); ++i) EXPECT_EQ(b[12 + 4 * i], stamp[i]) << i;
    EXPECT_EQ(std::vector<uint8_t>(b.begin() + 938, b.begin() + 942),
              (std::vector<uint8_t>{0x03, 0x02, 0x11, 0x01}));
    EXPECT_EQ(std::vector<uint8_t>(b.begin() + 947, b.begin() + 954),
              (std::vector<uint8_t>{2, 1, 1, 1, 1, 1, 0}));
    // Clock four seconds ahead: 10:15:34 Wednesday 18 March 2026, BCD, twelve-hour hour.
    EXPECT_EQ(std::vector<uint8_t>(b.begin() + 956, b.begin() + 963),
              (std::vector<uint8_t>{0x34, 0x15, 0x10, 0x04, 0x18, 0x03, 0x26}));
    EXPECT_EQ(b[955], 0);
    EXPECT_EQ(b[966], static_cast<uint8_t>(zoneLetter()));
    EXPECT_EQ(b[967], 'O');
    // The group keeps its image; the next group-wide build clears the location again.
    download.buildImage(*db.findGroup(3, 42));
    EXPECT_EQ(db.findGroup(3, 42)->programImage()[6], 0);
}

TEST_F(PlanDownloadTest, StepsAreSortedAndWrittenInTwelveHourBcd) {
    group().addStep(Step::atTime(1, 1, 3, 13, 5, kCommandOn));
    group().addStep(Step::atTime(1, 1, 3, 12, 0, kCommandOff));
    group().addStep(Step::atTime(1, 1, 3, 0, 0, kCommandOn));
    ProgramImage image = download.buildImageFor(group(), 2);
    const auto& b = image.bytes();
    size_t one = pi::slotOffset(1);
    EXPECT_EQ(std::vector<uint8_t>(b.begin() + one, b.begin() + one + 9),
              (std::vector<uint8_t>{0x07, 0x00, 3, 0, 0x08, 0x30, 0, 0, 0}));
    size_t three = pi::slotOffset(3);
    EXPECT_EQ(std::vector<uint8_t>(b.begin() + three, b.begin() + three + 12),
              (std::vector<uint8_t>{0x12, 0x00, 3, 0, 0x92, 0x00, 0, 0, 0x81, 0x05, 3, 0}));
    EXPECT_EQ(slotSteps(image, 2), 0u);
}

TEST_F(PlanDownloadTest, OverrideSlotSearch) {
    struct Row {
        std::vector<int> plans;
        int slot;
    };
    const std::vector<Row> rows = {
        {{1, 2, 3, 4, 5, 6, 7, 8}, 9},    {{1, 9}, 8}, {{1, 2, 3, 4, 6, 7, 8, 9}, 5},
        {{2, 3, 4, 5, 6, 7, 8, 9}, 9},  // only plan 1 free: the top slot is shared
        {{1, 2, 3, 4, 5, 6, 7, 8, 9}, 0},
    };
    for (const Row& row : rows) {
        Group g(1, 5);
        for (int p : row.plans) g.dayPlan(p);
        EXPECT_EQ(PlanDownload::overrideSlot(g), row.slot) << row.plans.size();
    }
}

TEST_F(PlanDownloadTest, ActiveOverrideGoesIntoItsSlotWithAnEntryForToday) {
    // Plan 9 exists, plan 1 is the only free number: the override takes slot 9 alone.
    for (int p = 2; p <= 9; ++p) group().addStep(Step::atTime(1, 1, p, 5, p, kCommandOn));
    group().addStep(Step::atTime(1, 1, 9, 20, 0, kCommandOff));
    group().addStep(Step::atTime(1, 1, 9, 21, 0, kCommandOn));
    group().deleteDayPlan(1);
    overrides.setActive(1, 1, {{0, 18, 0, 1}, {0, 6, 45, 0}});
    ProgramImage image = download.buildImageFor(group(), 2);
    const auto& b = image.bytes();
    size_t nine = pi::slotOffset(9);
    EXPECT_EQ(std::vector<uint8_t>(b.begin() + nine, b.begin() + nine + 12),
              (std::vector<uint8_t>{0x06, 0x45, 0, 0, 0x86, 0x00, 3, 0, 0, 0, 0, 0}));
    // Today only, plan 9, in front of everything else.
    size_t first = pi::annualOffset(0);
    EXPECT_EQ(std::vector<uint8_t>(b.begin() + first, b.begin() + first + 8),
              (std::vector<uint8_t>{0x03, 0x18, 0x26, 0x03, 0x18, 0x26, 0x09, 0}));
    EXPECT_EQ(b[pi::annualOffset(1)], 0);
    // The override keeps forcing full rebuilds; its text joins the group's paged texts.
    auto texts = download.pagedTexts(1, 1);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[1], pagedMessage("@", 'O', 1, 0, "BgjBS0"));
}

TEST_F(PlanDownloadTest, OverrideWithEveryPlanInUseLeavesTheImageAlone) {
    std::vector<std::string> logged;
    download.setSystemLog([&](const std::string& line) { logged.push_back(line); });
    for (int p = 2; p <= 9; ++p) group().addStep(Step::atTime(1, 1, p, 5, p, kCommandOn));
    overrides.setActive(1, 1, {{0, 18, 0, 1}});
    ProgramImage image = download.buildImageFor(group(), 2);
    EXPECT_EQ(image.bytes()[pi::annualOffset(0)], 0);
    EXPECT_EQ(image.bytes()[pi::slotOffset(9)], 0x05);
    EXPECT_EQ(image.bytes()[pi::slotOffset(9) + 1], 0x09);
    ASSERT_EQ(logged.size(), 1u);
    EXPECT_NE(logged[0].find("all nine day plans"), std::string::npos);
}

TEST_F(PlanDownloadTest, AnnualEntriesFromTheCalendar) {
    group().addAnnualPlan(AnnualPlan::on(1, 1, 2, 2026, 3, 20));             // one day
    group().addAnnualPlan(AnnualPlan::on(1, 1, kPlanHoliday, 2026, 3, 23));  // 100 -> 0
    group().addVacationPlan(VacationPlan::over(1, 1, 2026, 7, 1, 2026, 7, 10));
    group().addAnnualPlan(AnnualPlan::on(1, 1, 3, 2027, 6, 6));  // day 445: still inside
    group().addAnnualPlan(AnnualPlan::on(1, 1, 4, 2027, 6, 7));  // day 446: outside
    ProgramImage image = download.buildImageFor(group(), 2);
    image.checkAnnualEntries();
    const auto& e = image.annualEntries();
    ASSERT_EQ(e.size(), 5u);
    EXPECT_EQ(e[0], (AnnualEntry{1, 1, 2026, 3, 20, 2026, 3, 20, 2}));
    EXPECT_EQ(e[1], (AnnualEntry{1, 1, 2026, 3, 23, 2026, 3, 23, 0}));
    // Vacation: weekdays become plan 0; the weekend days already run 0 and end the run.
    EXPECT_EQ(e[2], (AnnualEntry{1, 1, 2026, 7, 1, 2026, 7, 3, 0}));
    EXPECT_EQ(e[3], (AnnualEntry{1, 1, 2026, 7, 6, 2026, 7, 10, 0}));
    // The last day of the horizon still counts; the day after it does not.
    EXPECT_EQ(e[4], (AnnualEntry{1, 1, 2027, 6, 6, 2027, 6, 6, 3}));
    EXPECT_EQ(image.bytes()[pi::annualOffset(5)], 0);
}

TEST_F(PlanDownloadTest, AnnualListStopsAtThirtySixEntries) {
    for (int day = 0; day < 60; ++day) {
        LocalDateTime d = toLocal(fromLocal(2026, 4, 1 + 2 * day, 12));
        group().addAnnualPlan(AnnualPlan::on(1, 1, 2 + day % 2, d.year, d.month, d.day));
    }
    ProgramImage image = download.buildImageFor(group(), 2);
    image.checkAnnualEntries();
    EXPECT_EQ(image.annualEntries().size(), 36u);
    // The daylight-saving rule right after the list is untouched.
    EXPECT_EQ(image.bytes()[938], 0x03);
    EXPECT_EQ(image.bytes()[937], 0);
}

TEST_F(PlanDownloadTest, BuiltMarkOnlyRefreshesTheClock) {
    download.buildImage(group());
    auto first = group().programImage();
    clock.advance(60);
    // An edit that bypasses markProgrammingChanged is not seen while the mark holds.
    group().findDayPlan(1)->clearSteps();
    download.buildImage(group());
    auto second = group().programImage();
    EXPECT_EQ(second[pi::slotOffset(1)], first[pi::slotOffset(1)]);
    EXPECT_NE(second[pi::kClock + 1], first[pi::kClock + 1]);  // minute moved on
    group().markProgrammingChanged();
    download.buildImage(group());
    EXPECT_EQ(group().programImage()[pi::slotOffset(1)], 0);
}

TEST_F(PlanDownloadTest, MissingGroupGivesAFreshImage) {
    Location orphan(4, 4, 4);
    orphan.model = static_cast<int>(TimeSwitchModel::MX40);
    std::vector<char> buffer(kMessageBufferSize);
    ASSERT_EQ(download.locationProgram(orphan, buffer.data(), buffer.size()), pi::kSize);
    ProgramImage image(
        std::span<const uint8_t>(reinterpret_cast<uint8_t*>(buffer.data()), pi::kSize));
    EXPECT_FALSE(image.isValid());
    EXPECT_EQ(image.bytes()[4], 0x04);
    EXPECT_EQ(image.bytes()[6], 0x04);
    EXPECT_EQ(image.bytes()[938], 0x03);
    EXPECT_EQ(image.bytes()[pi::slotOffset(1)], 0);
    EXPECT_NE(image.clock(), neverTime());
}

}  // namespace
}  // namespace quirn
