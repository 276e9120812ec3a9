// `quirnctl import-calendar` and `export-calendar` on real working folders: the built program
// reads a district's .ics, prints the changes, writes the year into --out (never into a folder
// a running station holds), and exports what a group's switches do each day.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "QuirnctlRunner.h"
#include "app/StationApp.h"
#include "plans/DatabaseFiles.h"
#include "plans/PlanDatabase.h"
#include "plans/Step.h"
#include "platform/FileSystem.h"
#include "platform/LocalTime.h"
#include "platform/SingleInstance.h"
#include "tests/support/DistrictCalendar.h"
#include "tests/support/TempFolder.h"

namespace quirn {
namespace {

using test::ToolRun;

constexpr int kEarlyRelease = 3;
constexpr const char* kNow = "2027-08-15 10:00:00";

std::time_t fixedNow() {
    return fromLocal(2027, 8, 15, 10, 0, 0);
}

int lineCount(const std::string& text) {
    int lines = 0;
    for (char c : text) lines += c == '\n';
    return lines;
}

class SchoolYear : public ::testing::Test {
  protected:
    void SetUp() override {
        PlanDatabase db;
        for (int g = 1; g <= 3; ++g) addGroup(db, g, true);
        addGroup(db, 4, false);
        ASSERT_TRUE(saveDatabase(db, root.workingFolder(), fixedNow()));
        ASSERT_TRUE(test::writeFile(calendar(), test::districtCalendarIcs(true)));
        ASSERT_TRUE(test::writeFile(mapping(), test::districtCalendarMapping()));
        before = folderTexts(root.workingFolder());
    }
    static void addGroup(PlanDatabase& db, int g, bool earlyRelease) {
        db.group(1, g).setName("School " + std::to_string(g));
        Location l;
        l.masterGroup = 1;
        l.group = g;
        l.number = 1;
        l.name = "Crossing " + std::to_string(g);
        db.addLocation(l);
        db.addStep(Step::atTime(1, g, kPlanNormal, 7, 15, kCommandOn));
        db.addStep(Step::atTime(1, g, kPlanNormal, 8, 0, kCommandOff));
        if (earlyRelease) {
            db.addStep(Step::atTime(1, g, kEarlyRelease, 12, 30, kCommandOn));
            db.addStep(Step::atTime(1, g, kEarlyRelease, 13, 15, kCommandOff));
        }
    }
    static std::vector<std::string> folderTexts(const WorkingFolder& f) {
        return {test::readFile(dayPlanFileName(f)), test::readFile(stepsFileName(f)),
                test::readFile(groupsFileName(f)), test::readFile(locationsFileName(f))};
    }
    std::string calendar() const { return scratch.file("district.ics"); }
    std::string mapping() const { return scratch.file("district.map"); }
    std::string out() const { return scratch.file("out"); }
    ToolRun run(std::vector<std::string> args) {
        args.insert(args.end(), {"--folder", root.path(), "--now", kNow});
        return test::runQuirnctl(args, scratch.path());
    }
    ToolRun import(std::vector<std::string> extra) {
        std::vector<std::string> args = {"import-calendar", calendar(), "--groups", "1:1,1:2,1:3"};
        args.insert(args.end(), extra.begin(), extra.end());
        return run(args);
    }

    test::TempFolder root;
    test::TempFolder scratch;
    std::vector<std::string> before;
};

TEST_F(SchoolYear, ImportWritesTheYearForThreeGroupsIntoOutAndLeavesTheFolderAlone) {
    const ToolRun r = import({"--map", mapping(), "--out", out()});
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    const int perGroup =
        test::kDistrictHolidays + test::kDistrictBreaks + test::kDistrictEarlyReleases;
    EXPECT_EQ(lineCount(r.out), 3 * perGroup + 1) << r.out;
    EXPECT_NE(r.out.find("1:2 2027-09-06 Mon Holiday (was Normal) <- Labor Day (UID "
                         "holiday-1@district.example)\n"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("applied " + std::to_string(3 * perGroup) + " change(s) to 3 group(s)"),
              std::string::npos);
    EXPECT_EQ(folderTexts(root.workingFolder()), before);

    PlanDatabase result;
    loadDatabase(result, WorkingFolder(out()), fixedNow());
    for (int g = 1; g <= 3; ++g) {
        auto planOn = [&](int y, int m, int d) {
            return result.planForDate(1, g, fromLocal(y, m, d), fixedNow());
        };
        EXPECT_EQ(planOn(2027, 9, 6), kPlanHoliday);
        EXPECT_EQ(planOn(2027, 9, 7), kPlanNormal);
        EXPECT_EQ(planOn(2027, 9, 8), kEarlyRelease);
        EXPECT_EQ(planOn(2027, 12, 22), kPlanVacation);
        EXPECT_EQ(planOn(2028, 6, 7), kEarlyRelease);
        ASSERT_NE(result.findGroup(1, g), nullptr);
        EXPECT_EQ(result.findGroup(1, g)->locations().size(), 1u);
    }
    ASSERT_NE(result.findGroup(1, 4), nullptr);
    EXPECT_TRUE(result.findGroup(1, 4)->annualPlans().empty());
}

TEST_F(SchoolYear, UnmappedEventsAreListedAndNothingIsWritten) {
    const ToolRun r = import({"--out", out()});
    EXPECT_EQ(r.exitCode, 1) << r.out << r.err;
    EXPECT_NE(r.out.find("unmapped: Labor Day (UID holiday-1@district.example) 2027-09-06 "
                         "[Holiday] suggested: Holiday\n"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("unmapped: Early Release (UID early-release@district.example) "
                         "2027-09-08 [Early Release]\n"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.err.find("nothing applied"), std::string::npos) << r.err;
    EXPECT_FALSE(pathExists(out()));
}

TEST_F(SchoolYear, DryRunShowsEveryChangeAndWritesNothing) {
    const ToolRun r = import({"--map", mapping(), "--dry-run"});
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("1:3 2027-12-20..2027-12-31 Vacation (new vacation) <- Winter Break"),
              std::string::npos);
    EXPECT_NE(r.out.find("dry run: "), std::string::npos);
    EXPECT_FALSE(pathExists(out()));
    EXPECT_EQ(folderTexts(root.workingFolder()), before);
}

TEST_F(SchoolYear, AFolderARunningStationHoldsIsRefused) {
    ASSERT_TRUE(makeFolder(out()));
    {
        SingleInstance station(StationApp::kInstanceName, out());
        ASSERT_TRUE(station.acquire());
        const ToolRun r = import({"--map", mapping(), "--out", out()});
        EXPECT_EQ(r.exitCode, 2) << r.out << r.err;
        EXPECT_NE(r.err.find("a running station holds"), std::string::npos) << r.err;
        EXPECT_FALSE(fileExists(dayPlanFileName(WorkingFolder(out()))));
    }
    // Once the station has gone, the folder is written.
    const ToolRun after = import({"--map", mapping(), "--out", out()});
    EXPECT_EQ(after.exitCode, 0) << after.out << after.err;
    EXPECT_TRUE(fileExists(dayPlanFileName(WorkingFolder(out()))));
}

TEST_F(SchoolYear, TheWorkingFolderItReadsIsNeverWritten) {
    const ToolRun same = import({"--map", mapping(), "--out", root.path() + "."});
    EXPECT_EQ(same.exitCode, 2) << same.out << same.err;
    EXPECT_NE(same.err.find("--out must not be the working folder it reads"), std::string::npos)
        << same.err;
    EXPECT_EQ(folderTexts(root.workingFolder()), before);
}

TEST_F(SchoolYear, HostileCalendarGivesOneErrorAndChangesNothing) {
    ASSERT_TRUE(test::writeFile(calendar(), test::districtCalendarIcs().substr(0, 700)));
    const ToolRun r = import({"--map", mapping(), "--out", out()});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err,
              "quirnctl: " + calendar() + ": is cut short: it does not end with END:VCALENDAR\n");
    EXPECT_EQ(r.out, "");
    EXPECT_FALSE(pathExists(out()));
}

TEST_F(SchoolYear, AGroupWithoutTheDayPlanIsRefused) {
    const ToolRun r = run(
        {"import-calendar", calendar(), "--groups", "1:3,1:4", "--map", mapping(), "--out", out()});
    EXPECT_EQ(r.exitCode, 1) << r.out << r.err;
    EXPECT_NE(r.out.find("refused: group 1:4 has no day plan 3 for Early Release"),
              std::string::npos)
        << r.out;
    EXPECT_FALSE(pathExists(out()));
}

TEST_F(SchoolYear, ExportGivesWhatTheSwitchDoesEachDay) {
    ASSERT_EQ(import({"--map", mapping(), "--out", out()}).exitCode, 0);
    const std::string csv = scratch.file("school2.csv");
    const ToolRun r =
        test::runQuirnctl({"export-calendar", "--folder", out(), "--now", kNow, "--group", "1:2",
                           "--from", "2027-09-05", "--to", "2027-09-08", "--csv", csv},
                          scratch.path());
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_EQ(test::readFile(csv),
              "Date,Weekday,Plan,Name,Times\r\n"
              "2027-09-05,Sunday,0,None,\r\n"
              "2027-09-06,Monday,100,Holiday,\r\n"
              "2027-09-07,Tuesday,1,Normal,ON 07:15 OFF 08:00\r\n"
              "2027-09-08,Wednesday,3,Plan 3,ON 12:30 OFF 13:15\r\n");
    const std::string ics = scratch.file("school2.ics");
    const ToolRun year = test::runQuirnctl(
        {"export-calendar", "--folder", out(), "--now", kNow, "--group", "1:2", "--ics", ics},
        scratch.path());
    ASSERT_EQ(year.exitCode, 0) << year.out << year.err;
    EXPECT_NE(year.out.find("wrote 366 day(s) of group 1:2"), std::string::npos) << year.out;
    const std::string text = test::readFile(ics);
    EXPECT_NE(text.find("DTSTART;VALUE=DATE:20271222\r\nDTEND;VALUE=DATE:20271223\r\n"
                        "SUMMARY:Vacation Plan\r\n"),
              std::string::npos);
}

TEST_F(SchoolYear, BadArgumentsAreOneLineEach) {
    struct Case {
        std::vector<std::string> args;
        const char* error;
    };
    const Case cases[] = {
        {{"import-calendar", "x.ics", "--out", "o"}, "needs --groups"},
        {{"import-calendar", "x.ics", "--groups", "1:1"}, "needs --out DIR (or --dry-run)"},
        {{"import-calendar", "x.ics", "--groups", "1:100", "--dry-run"}, "--groups: '1:100'"},
        {{"import-calendar", "x.ics", "--groups", "1:1", "--dry-run", "--from", "2027-09-01"},
         "--from and --to go together"},
        {{"import-calendar", "x.ics", "--groups", "1:1", "--dry-run", "--wat"},
         "unknown option --wat"},
        {{"export-calendar", "--group", "1:1"}, "one of --ics FILE or --csv FILE"},
        {{"export-calendar", "--group", "1:9", "--csv", "x.csv"}, "no group 9 in master group 1"},
    };
    for (const auto& c : cases) {
        const ToolRun r = run(c.args);
        EXPECT_EQ(r.exitCode, 2) << c.error;
        EXPECT_NE(r.err.find(c.error), std::string::npos) << c.error << " / " << r.err;
        EXPECT_EQ(lineCount(r.err), 1) << r.err;
    }
}

}  // namespace
}  // namespace quirn
