#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/schoolyear/endtoend/ImportedYearTest.h"
#include "tests/schoolyear/endtoend/SchoolYearCalendar.h"
#include "tests/schoolyear/endtoend/SchoolYearImport.h"
#include "tests/testing/TimeTestBench.h"

namespace quirn::test {
namespace {

using namespace school_year;

constexpr long long kHourMs = 3600LL * 1000;
const GroupKey kBenchGroup{SwitchUnderTest::kMasterGroup, SwitchUnderTest::kGroup};

// The time tests' bench (the real communications handler over a pseudo-terminal to a simulated
// switch, on the manual clock from Monday 16 March 2026, 09:15) with the bench's group made a
// school through the Plans window's editor and given the district's 2026-27 year by the
// import, for each model that keeps dated annual plans.
class SchoolYearTimeTest : public TimeTestBench,
                           public ::testing::WithParamInterface<sim::SimModel> {
  protected:
    void SetUp() override {
        attachSwitch(GetParam());
        station = std::make_unique<StationEditor>(db, clock, working);
        const EditOutcome plans = giveSchoolPlans(station->editor, kBenchGroup);
        ASSERT_TRUE(plans) << plans.refusal;
        ASSERT_TRUE(writeFile(folder.file("district-2026-27.ics"), districtIcs()));
        ASSERT_TRUE(writeFile(folder.file("district.map"), mappingText()));
        const ImportRun run =
            importSchoolYear(station->editor, db, folder.file("district-2026-27.ics"),
                             folder.file("district.map"), {kBenchGroup}, clock.now());
        ASSERT_EQ(run.error, "");
        ASSERT_TRUE(run.applied) << run.applied.refusal;
    }

    // Runs the test to its end, as the runner's tick would; false when it did not end in time.
    bool runToEnd(ImportedYearTest& test, long long limitMs) {
        return runUntil([&test] { return test.step(); }, limitMs);
    }

    // What the test works with, held as the runner holds it: for the test's whole life.
    TimeTestServices& services() {
        if (!services_) services_.emplace(TimeTestServices{clock, *timeSwitch, db, store, lines});
        return *services_;
    }

    std::unique_ptr<StationEditor> station;
    std::optional<TimeTestServices> services_;
};

using Check = ImportedYearTest::DayCheck;

TEST_P(SchoolYearTimeTest, TheSwitchRunsEachImportedDayAsTheYearSays) {
    const std::vector<Check> checks = {
        {"First day of school " + kFirstDay.iso(),
         ImportedYearTest::turnsAt(noonOf(kFirstDay), kMorningOn, true)},
        {"Holiday by category " + kLaborDay.iso(),
         ImportedYearTest::holdsAcross(noonOf(kLaborDay), kMorningOn, false)},
        {"Early release " + kEarlyRelease.iso(),
         ImportedYearTest::turnsAt(noonOf(kEarlyRelease), kEarlyAfternoonOff, false)},
        {"Early release " + kEarlyRelease.iso(),
         ImportedYearTest::holdsAcross(noonOf(kEarlyRelease), kNormalAfternoonOn, false)},
        {"Excluded Wednesday " + kExcludedWednesday.iso(),
         ImportedYearTest::holdsAcross(noonOf(kExcludedWednesday), kEarlyAfternoonOn, false)},
        {"Excluded Wednesday " + kExcludedWednesday.iso(),
         ImportedYearTest::turnsAt(noonOf(kExcludedWednesday), kNormalAfternoonOn, true)},
        {"Last early release " + kLastEarlyRelease.iso(),
         ImportedYearTest::turnsAt(noonOf(kLastEarlyRelease), kEarlyAfternoonOff, false)},
        {"Wednesday after the rule's end " + kAfterUntil.iso(),
         ImportedYearTest::turnsAt(noonOf(kAfterUntil), kNormalAfternoonOn, true)},
        {"Second day of Thanksgiving Recess " + kThanksgivingFriday.iso(),
         ImportedYearTest::holdsAcross(noonOf(kThanksgivingFriday), kMorningOn, false)},
        {"Winter break " + kWinterBreakWeekday.iso(),
         ImportedYearTest::holdsAcross(noonOf(kWinterBreakWeekday), kMorningOn, false)},
        {"Winter break's last day " + kWinterBreakLast.iso(),
         ImportedYearTest::holdsAcross(noonOf(kWinterBreakLast), kMorningOn, false)},
        {"Back from winter break " + kBackFromWinter.iso(),
         ImportedYearTest::turnsAt(noonOf(kBackFromWinter), kMorningOn, true)},
        {"Last day of school " + kLastDay.iso(),
         ImportedYearTest::turnsAt(noonOf(kLastDay), kEarlyAfternoonOff, false)},
    };
    ImportedYearTest test(services(), checks);
    ASSERT_TRUE(runToEnd(test, kHourMs)) << lines.dump();

    const auto on = [](int minutes) {
        return "SchoolYear:: PASSED on " + std::to_string(minutes) + " mins.";
    };
    const auto off = [](int minutes) {
        return "SchoolYear:: PASSED off " + std::to_string(minutes) + " mins.";
    };
    // Each check judges the read a minute before its step and the read after it.
    const std::vector<std::string> expected = {
        "SchoolYear: Download OK.",
        off(kMorningOn),  // first day of school: Normal's morning ON
        on(kMorningOn),
        off(kMorningOn),  // Labor Day: nothing at Normal's morning ON
        off(kMorningOn),
        on(kEarlyAfternoonOff),  // early release: its own OFF at 12:15
        off(kEarlyAfternoonOff),
        off(kNormalAfternoonOn),  // ... and no ON at Normal's 14:30
        off(kNormalAfternoonOn),
        off(kEarlyAfternoonOn),  // the excluded Wednesday: no early-release ON at 11:30
        off(kEarlyAfternoonOn),
        off(kNormalAfternoonOn),  // ... but Normal's ON at 14:30
        on(kNormalAfternoonOn),
        on(kEarlyAfternoonOff),  // the rule's last day (UNTIL): early release
        off(kEarlyAfternoonOff),
        off(kNormalAfternoonOn),  // the Wednesday after it: Normal
        on(kNormalAfternoonOn),
        off(kMorningOn),  // Thanksgiving Friday
        off(kMorningOn),
        off(kMorningOn),  // winter break
        off(kMorningOn),
        off(kMorningOn),  // winter break's last day
        off(kMorningOn),
        off(kMorningOn),  // the break's DTEND: school again, Normal
        on(kMorningOn),
        on(kEarlyAfternoonOff),  // the last day of school: early release
        off(kEarlyAfternoonOff),
    };
    EXPECT_TRUE(lines.of(LineKind::Failed).empty()) << lines.dump();
    EXPECT_EQ(lines.of(LineKind::Passed), expected) << lines.dump();
    EXPECT_TRUE(lines.has("SchoolYear:: Excluded Wednesday 2026-09-30.")) << lines.dump();
    EXPECT_EQ(lines.lines.back().text, "SchoolYear: Test Complete");
}

INSTANTIATE_TEST_SUITE_P(Models, SchoolYearTimeTest,
                         ::testing::Values(sim::SimModel::MX40, sim::SimModel::LR40),
                         [](const auto& info) { return std::string(sim::modelName(info.param)); });

}  // namespace
}  // namespace quirn::test
