#include <gtest/gtest.h>

#include "plans/DatabaseFiles.h"
#include "plans/PlanDatabase.h"
#include "platform/FileSystem.h"
#include "platform/LocalTime.h"
#include "tests/support/FleetGenerator.h"
#include "tests/support/TempFolder.h"

namespace quirn {
namespace {

using test::readFile;
using test::writeFile;

class DatabaseFiles : public ::testing::Test {
  protected:
    test::TempFolder folder;
    const WorkingFolder working = folder.workingFolder();
    std::time_t now = fromLocal(2026, 12, 9, 10, 0, 0);  // a Wednesday

    void writeLocations(const std::string& text) {
        ASSERT_TRUE(writeFile(locationsFileName(working), text));
    }
    void load(PlanDatabase& db) { loadDatabase(db, working, now); }
};

TEST_F(DatabaseFiles, MissingFilesAreCreatedEmpty) {
    PlanDatabase db;
    load(db);
    EXPECT_TRUE(db.loaded());
    EXPECT_TRUE(fileExists(dayPlanFileName(working)));
    EXPECT_TRUE(fileExists(stepsFileName(working)));
    EXPECT_TRUE(fileExists(groupsFileName(working)));
    EXPECT_TRUE(fileExists(locationsFileName(working)));
    EXPECT_TRUE(db.allGroups().empty());
}

TEST_F(DatabaseFiles, LocationLinesReadWithEveryFieldInPlace) {
    writeLocations(
        "Location,3,1,School,Main St,7,127.0.0.2,0\r\n"
        "Location,3,1,School,,8,127.0.0.5,1\r\n"         // empty name keeps its place
        "Location,3,1, Signal ,Elm,9\n"                  // no connection or model: defaults
        "Location,3,1,School,Oak,10,,\r"                 // empty connection and model: defaults
        "Location,3,1,School,Short\r\n"                  // ends early: ignored
        "Location,3,1,School,Bad,150,127.0.0.2,0\r\n");  // location number out of range
    PlanDatabase db;
    load(db);
    Location* main = db.findLocation(1, 3, 7);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(main->name, "Main St");
    EXPECT_EQ(main->type(), "School");
    EXPECT_EQ(main->connection, "127.0.0.2");
    EXPECT_TRUE(main->isModel(TimeSwitchModel::QN510));
    Location* unnamed = db.findLocation(1, 3, 8);
    ASSERT_NE(unnamed, nullptr);
    EXPECT_EQ(unnamed->name, "");
    EXPECT_EQ(unnamed->connection, "127.0.0.5");
    EXPECT_TRUE(unnamed->isModel(TimeSwitchModel::MX40));
    Location* elm = db.findLocation(1, 3, 9);
    ASSERT_NE(elm, nullptr);
    EXPECT_EQ(elm->type(), "Signal");
    EXPECT_EQ(elm->connection, kRadioAddress);
    Location* oak = db.findLocation(1, 3, 10);
    ASSERT_NE(oak, nullptr);
    EXPECT_EQ(oak->connection, kRadioAddress);
    EXPECT_EQ(oak->model, 0);
    EXPECT_EQ(db.findGroup(1, 3)->locations().size(), 4u);
    EXPECT_EQ(db.findGroup(1, 3)->name(), "Group 3");
    EXPECT_TRUE(db.hasImageModels());
}

TEST_F(DatabaseFiles, FilesSavedByASpreadsheetKeepTheirFirstRecord) {
    // A spreadsheet program puts a UTF-8 byte-order mark before the first keyword.
    const std::string bom = "\xEF\xBB\xBF";
    writeLocations(bom + "Location,3,1,School,Main St,7,127.0.0.2,0\r\n");
    ASSERT_TRUE(writeFile(groupsFileName(working), bom + "Group,1,Lincoln,3\r\n"));
    ASSERT_TRUE(writeFile(stepsFileName(working), bom + "Step,1,3,435,1,1\r\n"));
    ASSERT_TRUE(writeFile(dayPlanFileName(working), bom + "DayPlanDefault,1,3,1,2\r\n"));
    PlanDatabase db;
    load(db);
    ASSERT_NE(db.findLocation(1, 3, 7), nullptr);
    const Group* group = db.findGroup(1, 3);
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->name(), "Lincoln");
    ASSERT_NE(group->findDayPlan(1), nullptr);
    EXPECT_EQ(group->findDayPlan(1)->steps().size(), 1u);
    EXPECT_EQ(db.defaultDayPlan(1, 3, 1), 2);
}

TEST_F(DatabaseFiles, EmptyNameSurvivesSaveAndReload) {
    PlanDatabase db;
    Location l(1, 2, 4);
    l.name = "";
    db.addLocation(l);
    ASSERT_TRUE(saveDatabase(db, working, now));
    PlanDatabase again;
    load(again);
    ASSERT_NE(again.findLocation(1, 2, 4), nullptr);
    EXPECT_EQ(again.findLocation(1, 2, 4)->name, "");
}

TEST_F(DatabaseFiles, LongLineIsOneRecord) {
    // Past 118 characters the tail reads like an "Ignore" line; it must stay part of the name.
    std::string prefix = "Location,1,1,School,";
    std::string name(118 - prefix.size(), 'x');
    writeLocations(prefix + name + "Ignore 1 1 1,5,127.0.0.2,0\r\n");
    PlanDatabase db;
    load(db);
    Location* l = db.findLocation(1, 1, 5);
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(l->name, name + "Ignore 1 1 1");
    EXPECT_FALSE(l->validateDisabledFlag());
    EXPECT_EQ(db.findGroup(1, 1)->locations().size(), 1u);
}

TEST_F(DatabaseFiles, SecondPassLines) {
    writeLocations(
        "IMSI,1,3,7,310260000000001\r\n"  // before its location: pass two still finds it
        "Location,3,1,School,Main St,7,127.0.0.1,2\r\n"
        "Ignore,3,1,7\r\n"
        "Version,1,3,7,5.10\r\n"
        "StriderTime,1,3,7,12\r\n"
        "PhoneNumber,1,3,8,999\r\n"  // no such location
        "Ignore,3,1\r\n");           // ends early
    PlanDatabase db;
    load(db);
    Location* l = db.findLocation(1, 3, 7);
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(l->imsi, "310260000000001");
    EXPECT_TRUE(l->validateDisabledFlag());
    EXPECT_EQ(l->firmwareVersion, "5.10");
    EXPECT_EQ(l->striderTimeCode(), 0);
    EXPECT_TRUE(db.hasStrider());
}

TEST_F(DatabaseFiles, StepsDayPlansAndSpecialWeeks) {
    writeFile(stepsFileName(working),
              "Step,1,4,1500,1,1\r\n"  // 1500 minutes wraps to 1:00
              "Step,1,4,-61,1,-1\r\n"  // not programmed
              "Step,1,4,1500,1,1\r\n"  // duplicate dropped
              "Step,2,4,420\r\n");     // ends early
    writeFile(dayPlanFileName(working),
              "DayPlanDefault,8,4,1,3\r\n"
              "DayPlanDefault,7,4,1,2\r\n"
              "DayPlanName,2,4,1,Early Release\r\n"
              "SWP,1,4,0,0,1,1,1,1,1,0\r\n"
              "SWP,1,4,0,0,2,2,2,2,2,0\r\n"
              "SWT,2026,12,12,23,59,59\r\n");
    PlanDatabase db;
    load(db);
    Group* g = db.findGroup(1, 4);
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->name(), "Group 4");  // named only in steps and day plans
    const auto& steps = g->findDayPlan(1)->steps();
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[0].hour, 1);
    EXPECT_EQ(steps[0].minute, 0);
    EXPECT_FALSE(steps[1].isProgrammed());
    EXPECT_EQ(g->defaultWeek().day(7), 2);
    EXPECT_EQ(g->nonStandardWeekdays(), 1);  // weekday 8 ignored
    EXPECT_EQ(g->planName(2), "Early Release");
    ASSERT_EQ(db.specialWeekPlans().size(), 1u);
    EXPECT_EQ(db.specialWeekPlans()[0].days.day(2), 2);  // the later line wins
    EXPECT_EQ(toLocal(db.specialWeekEnd()).day, 12);

    // After the end the special week is gone on the next load.
    PlanDatabase later;
    loadDatabase(later, working, fromLocal(2026, 12, 13, 0, 0, 0));
    EXPECT_TRUE(later.specialWeekPlans().empty());
    EXPECT_TRUE(isNever(later.specialWeekEnd()));
}

TEST_F(DatabaseFiles, SavingDropsPlansThatEndedBeforeThisWeek) {
    PlanDatabase db;
    db.addAnnualPlan({1, 1, 2, fromLocal(2026, 12, 5)});  // last Saturday
    db.addAnnualPlan({1, 1, 3, fromLocal(2026, 12, 6)});  // last Sunday
    // A vacation's end is compared at 23:59:50, later than the cut-off's time of day, so one
    // ending last Saturday is still written; one ending on the Friday is not.
    db.addVacationPlan(VacationPlan::over(1, 1, 2026, 11, 20, 2026, 12, 4));
    db.addVacationPlan(VacationPlan::over(1, 1, 2026, 11, 21, 2026, 12, 5));
    std::string text = dayPlanFileText(db, now);
    EXPECT_EQ(text.find("DayPlan,1,1,2,2026,12,5\r\n"), std::string::npos);
    EXPECT_NE(text.find("DayPlan,1,1,3,2026,12,6\r\n"), std::string::npos);
    EXPECT_EQ(text.find("VacationPlan,1,1,2026,11,20,2026,12,4\r\n"), std::string::npos);
    EXPECT_NE(text.find("VacationPlan,1,1,2026,11,21,2026,12,5\r\n"), std::string::npos);
    EXPECT_NE(text.find("SWT,2005,12,25,12,0,0\r\n"), std::string::npos);
    EXPECT_EQ(db.findGroup(1, 1)->annualPlans().size(), 2u);  // still in memory
}

TEST_F(DatabaseFiles, ImsiWrittenOnlyForTheM2MConnection) {
    PlanDatabase db;
    Location l(1, 1, 1);
    l.connection = kM2MAddress;
    l.imsi = "310260000000009";
    Location& stored = db.addLocation(l);
    stored.imsi = l.imsi;
    EXPECT_NE(locationsFileText(db).find("IMSI,1,1,1,310260000000009\r\n"), std::string::npos);
    stored.connection = kRadioAddress;
    ASSERT_TRUE(saveDatabase(db, working, now));
    PlanDatabase again;
    load(again);
    EXPECT_EQ(again.findLocation(1, 1, 1)->imsi, "");
}

TEST_F(DatabaseFiles, CommasInNamesCannotShiftFields) {
    PlanDatabase db;
    Location l(1, 1, 3);
    l.name = "Main, North";
    db.addLocation(l);
    db.group(1, 1).setName("East,West");
    ASSERT_TRUE(saveDatabase(db, working, now));
    PlanDatabase again;
    load(again);
    ASSERT_NE(again.findLocation(1, 1, 3), nullptr);
    EXPECT_EQ(again.findLocation(1, 1, 3)->name, "Main  North");
    EXPECT_EQ(again.findGroup(1, 1)->name(), "East West");
}

TEST_F(DatabaseFiles, LoadSaveLoadOfAGeneratedFleetGivesIdenticalFiles) {
    PlanDatabase db;
    test::generateFleet(db, {}, now);
    ASSERT_TRUE(saveDatabase(db, working, now));
    ASSERT_TRUE(saveSnapshot(db, working));
    const std::string files[] = {dayPlanFileName(working), stepsFileName(working),
                                 groupsFileName(working), locationsFileName(working)};
    std::vector<std::string> first;
    for (const auto& f : files) first.push_back(readFile(f));
    std::string firstSnapshot = readFile(snapshotFileName(working));

    PlanDatabase again;
    load(again);
    EXPECT_EQ(again.locationCount(), db.locationCount());
    ASSERT_TRUE(saveDatabase(again, working, now));
    ASSERT_TRUE(saveSnapshot(again, working));
    for (size_t i = 0; i < 4; ++i) EXPECT_EQ(readFile(files[i]), first[i]) << files[i];
    EXPECT_EQ(readFile(snapshotFileName(working)), firstSnapshot);
    EXPECT_GT(first[3].size(), 100u);
}

TEST_F(DatabaseFiles, SnapshotAppliesOnlyToCompatibleModels) {
    PlanDatabase db;
    Location qn(1, 1, 1), mx(1, 1, 2), odd(1, 1, 3);
    mx.model = static_cast<int>(TimeSwitchModel::MX40);
    odd.model = 7;
    for (Location* l : {&qn, &mx, &odd}) {
        l->readState = 3;
        l->programBytesReceived = 968;
        l->programBytes.fill(0x5a);
        db.addLocation(*l);
    }
    for (Location* l : db.allLocations()) {
        l->readState = 3;
        l->programBytesReceived = 968;
        l->programBytes.fill(0x5a);
    }
    std::string bytes = snapshotBytes(db);
    ASSERT_EQ(bytes.size(), 4u + 3u * 1000u);

    // Swap the models the records claim: an MX40 record for the QN510 location is skipped.
    PlanDatabase other;
    Location a(1, 1, 1), b(1, 1, 2), c(1, 1, 3);
    a.model = static_cast<int>(TimeSwitchModel::MX40);
    b.model = static_cast<int>(TimeSwitchModel::Strider);
    c.model = static_cast<int>(TimeSwitchModel::LR40);
    other.addLocation(a);
    other.addLocation(b);
    other.addLocation(c);
    int redecoded = 0;
    LoadHooks hooks;
    hooks.redecode = [&](Location&) { ++redecoded; };
    EXPECT_EQ(applySnapshotBytes(other, bytes, hooks), 0);
    EXPECT_EQ(other.findLocation(1, 1, 1)->readState, 0);

    // Same models: all three apply, the unknown model accepts anything.
    PlanDatabase same;
    for (Location* l : db.allLocations()) same.addLocation(*l);
    for (Location* l : same.allLocations()) l->readState = 0;
    EXPECT_EQ(applySnapshotBytes(same, bytes, hooks), 3);
    EXPECT_EQ(redecoded, 3);
    EXPECT_EQ(same.findLocation(1, 1, 2)->programBytes[967], 0x5a);
}

TEST_F(DatabaseFiles, DamagedSnapshotAppliesWholeRecordsOnly) {
    PlanDatabase db;
    for (int n = 1; n <= 3; ++n) db.addLocation(Location(1, 1, n));
    for (Location* l : db.allLocations()) l->readState = 5;
    std::string bytes = snapshotBytes(db);
    for (Location* l : db.allLocations()) l->readState = 0;
    EXPECT_EQ(applySnapshotBytes(db, bytes.substr(0, 4 + 1000 + 500)), 1);
    EXPECT_EQ(db.findLocation(1, 1, 1)->readState, 5);
    EXPECT_EQ(db.findLocation(1, 1, 2)->readState, 0);
    // A count larger than the file and a negative count.
    std::string inflated = bytes;
    inflated[0] = 100;
    EXPECT_EQ(applySnapshotBytes(db, inflated), 3);
    std::string negative = bytes;
    negative[3] = static_cast<char>(0x80);
    EXPECT_EQ(applySnapshotBytes(db, negative), 0);
    EXPECT_EQ(applySnapshotBytes(db, "ab"), 0);
}

}  // namespace
}  // namespace quirn
