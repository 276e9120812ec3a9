// Groups and locations: each edit, its refusals, and its undo.
#include <gtest/gtest.h>

#include "tests/planedit/EditorFixture.h"

namespace quirn {
namespace {

using GroupEdits = test::EditorFixture;

TEST_F(GroupEdits, AddRenameRemoveGroupEachUndoable) {
    const std::string before = files();
    ASSERT_TRUE(editor.addGroup({3, 12}, "Maple"));
    ASSERT_NE(db.findGroup(3, 12), nullptr);
    EXPECT_EQ(db.findGroup(3, 12)->name(), "Maple");
    EXPECT_TRUE(db.findGroup(3, 12)->changed());
    EXPECT_EQ(editor.undoText(), "Undo add group");
    ASSERT_TRUE(notices.back().groupsAddedOrRemoved);
    EXPECT_EQ(notices.back().groups, (std::vector<GroupKey>{{3, 12}}));

    ASSERT_TRUE(editor.renameGroup({3, 12}, "Maple Middle"));
    EXPECT_EQ(db.findGroup(3, 12)->name(), "Maple Middle");
    EXPECT_EQ(editor.undoText(), "Undo rename group");
    ASSERT_TRUE(editor.undo());
    EXPECT_EQ(db.findGroup(3, 12)->name(), "Maple");
    // The listeners hear of an undo as of the edit.
    ASSERT_EQ(notices.size(), 3u);
    EXPECT_EQ(notices.back().groups, (std::vector<GroupKey>{{3, 12}}));
    EXPECT_FALSE(notices.back().groupsAddedOrRemoved);
    ASSERT_TRUE(editor.undo());
    EXPECT_EQ(db.findGroup(3, 12), nullptr);
    // The master group the add made goes with it.
    EXPECT_EQ(db.findMasterGroup(3), nullptr);
    EXPECT_EQ(files(), before);
    EXPECT_FALSE(editor.canUndo());
    EXPECT_EQ(editor.undoText(), "");
}

TEST_F(GroupEdits, GroupRefusalsChangeNothing) {
    const std::string before = files();
    struct Case {
        GroupKey key;
        const char* name;
        const char* says;
    };
    const Case cases[] = {
        {{1, 0}, "Zero", "Group 0 is outside 1..99"},
        {{1, 100}, "Hundred", "Group 100 is outside 1..99"},
        {{11, 1}, "Eleven", "Master group 11 is outside 1..10"},
        {{0, 1}, "None", "Master group 0 is outside 1..10"},
        {{1, 5}, "Again", "Group 5 of master group 1 already exists"},
        {{1, 6}, "Oak, Pine", "comma"},
        {{1, 6}, "", "empty"},
        {{1, 6}, "   ", "empty"},
        {{1, 6}, "Line\r\nbreak", "control character"},
        {{1, 6}, "A name far longer than forty characters in all", "longer than 40"},
    };
    for (const Case& c : cases) {
        EditOutcome r = editor.addGroup(c.key, c.name);
        EXPECT_FALSE(r.done) << c.name;
        EXPECT_NE(r.refusal.find(c.says), std::string::npos) << c.name << ": " << r.refusal;
    }
    EXPECT_FALSE(editor.renameGroup(oak, "Oak, Pine"));
    EXPECT_FALSE(editor.renameGroup({1, 6}, "Nowhere"));
    EXPECT_FALSE(editor.removeGroup({1, 6}));
    EXPECT_EQ(files(), before);
    EXPECT_FALSE(editor.canUndo());
    EXPECT_TRUE(notices.empty());
}

TEST_F(GroupEdits, MasterGroupOtherThanOneNeedsAnAgencyWithMasterGroups) {
    PlanEditor plain(db, overrides, summer, clock, working, false);
    EditOutcome r = plain.addGroup({2, 7}, "Birch");
    EXPECT_FALSE(r.done);
    EXPECT_NE(r.refusal.find("no master groups"), std::string::npos) << r.refusal;
    EXPECT_EQ(db.findGroup(2, 7), nullptr);
    EXPECT_TRUE(plain.addGroup({1, 7}, "Birch"));
    EXPECT_EQ(db.findGroup(1, 7)->name(), "Birch");
}

TEST_F(GroupEdits, RemovedGroupComesBackWholeWithItsSpecialWeekOnUndo) {
    SpecialWeekPlan s;
    s.masterGroup = 1;
    s.group = 5;
    s.days = WeekPlan::standard();
    s.days.setDay(2, kPlanHoliday);
    db.addSpecialWeekPlan(s);
    db.setSpecialWeekEnd(PlanDatabase::comingMonday(now));
    Location* north = db.findLocation(1, 5, 1);
    const std::string before = files();

    ASSERT_TRUE(editor.removeGroup(oak));
    EXPECT_EQ(db.findGroup(1, 5), nullptr);
    EXPECT_EQ(db.specialWeekPlanOf(1, 5), nullptr);
    EXPECT_TRUE(notices.back().specialWeeks);

    ASSERT_TRUE(editor.undo());
    // The very records come back, so anything that held a location still finds it.
    EXPECT_EQ(db.findLocation(1, 5, 1), north);
    ASSERT_NE(db.specialWeekPlanOf(1, 5), nullptr);
    EXPECT_EQ(files(), before);
}

TEST_F(GroupEdits, AddLocationTakesTheLowestFreeNumberOrTheOneGiven) {
    LocationFields f;
    f.name = "Oak East";
    f.connection = "192.0.2.10";
    EditOutcome r = editor.addLocation(oak, 0, f);
    ASSERT_TRUE(r.done) << r.refusal;
    EXPECT_EQ(r.number, 3);
    const Location* added = db.findLocation(1, 5, 3);
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->name, "Oak East");
    EXPECT_EQ(added->connection, "192.0.2.10");
    EXPECT_FALSE(group().isImageCurrent());

    f.name = "Oak West";
    f.model = static_cast<int>(TimeSwitchModel::Strider);
    f.striderTimeCode = 4;
    r = editor.addLocation(oak, 99, f);
    ASSERT_TRUE(r.done) << r.refusal;
    EXPECT_EQ(db.findLocation(1, 5, 99)->striderTimeCode(), 4);
    EXPECT_TRUE(db.hasStrider());

    ASSERT_TRUE(editor.undo());
    EXPECT_EQ(db.findLocation(1, 5, 99), nullptr);
    ASSERT_TRUE(editor.undo());
    EXPECT_EQ(db.findLocation(1, 5, 3), nullptr);
    EXPECT_EQ(group().locations().size(), 2u);
}

TEST_F(GroupEdits, LocationRefusals) {
    const std::string before = files();
    LocationFields good;
    struct Case {
        int number;
        LocationFields fields;
        const char* says;
    };
    auto with = [&](auto change) {
        LocationFields f = good;
        change(f);
        return f;
    };
    const Case cases[] = {
        {100, good, "Location 100 is outside 1..99"},
        {-1, good, "outside 1..99"},
        {1, good, "Location 1 of Group 5 of master group 1 already exists"},
        {0, with([](LocationFields& f) { f.name = "North, Gate"; }), "comma"},
        {0, with([](LocationFields& f) { f.type = ""; }), "location type is empty"},
        {0, with([](LocationFields& f) { f.connection = "127.0.1"; }), "IPv4"},
        {0, with([](LocationFields& f) { f.connection = "127.0.001.5"; }), "IPv4"},
        {0, with([](LocationFields& f) { f.connection = "127.0.0.256"; }), "IPv4"},
        {0, with([](LocationFields& f) { f.connection = "0.0.0.0"; }), "every link"},
        {0, with([](LocationFields& f) { f.connection = ""; }), "IPv4"},
        {0, with([](LocationFields& f) { f.model = 4; }), "no time switch model"},
        {0, with([](LocationFields& f) { f.imsi = "31015012345678x"; }), "digits"},
        {0, with([](LocationFields& f) { f.imsi = "3101501234567890"; }), "longer than 15"},
        {0, with([](LocationFields& f) { f.imsi = "310150123456789"; }), "M2M client"},
        {0, with([](LocationFields& f) { f.striderTimeCode = 3; }), "belongs to a Strider"},
        {0, with([](LocationFields& f) {
             f.model = static_cast<int>(TimeSwitchModel::Strider);
             f.striderTimeCode = 10;
         }),
         "outside 0..9"},
    };
    for (const Case& c : cases) {
        EditOutcome r = editor.addLocation(oak, c.number, c.fields);
        EXPECT_FALSE(r.done) << c.says;
        EXPECT_NE(r.refusal.find(c.says), std::string::npos) << c.says << ": " << r.refusal;
    }
    EXPECT_FALSE(editor.updateLocation(oak, 9, good).done);
    EXPECT_FALSE(editor.removeLocation(oak, 9).done);
    EXPECT_EQ(files(), before);
    EXPECT_FALSE(editor.canUndo());
}

TEST_F(GroupEdits, NoRoomForAHundredthLocation) {
    Group& g = group();
    for (int n = 3; n <= kMaxLocation; ++n) g.addLocation(Location(1, 5, n));
    EditOutcome r = editor.addLocation(oak, 0, LocationFields{});
    EXPECT_FALSE(r.done);
    EXPECT_NE(r.refusal.find("All 99 locations"), std::string::npos) << r.refusal;
    EXPECT_EQ(g.locations().size(), 99u);
}

TEST_F(GroupEdits, UpdateLocationAndUndoPutsEveryFieldBack) {
    Location& south = *db.findLocation(1, 5, 2);
    south.image.reset(std::make_unique<test::KeptReadBack>());
    const LocationFields was = LocationFields::of(south);
    LocationFields f;
    f.name = "Oak South Gate";
    f.type = "Crossing";
    f.model = static_cast<int>(TimeSwitchModel::LR40);
    f.connection = "198.51.100.7";
    f.validateDisabled = true;
    ASSERT_TRUE(editor.updateLocation(oak, 2, f));
    EXPECT_EQ(LocationFields::of(south), f);
    EXPECT_TRUE(db.hasLr40());
    EXPECT_EQ(editor.undoText(), "Undo change location");
    ASSERT_TRUE(editor.undo());
    EXPECT_EQ(LocationFields::of(south), was);
    EXPECT_EQ(south.imsi, "310150123456789");
    // Its read-back stays: undo sets fields, it does not replace the record.
    EXPECT_TRUE(south.image);
}

TEST_F(GroupEdits, RemovedLocationReturnsToItsPlaceWithItsReadBack) {
    Location* north = db.findLocation(1, 5, 1);
    north->image.reset(std::make_unique<test::KeptReadBack>());
    ASSERT_TRUE(editor.removeLocation(oak, 1));
    EXPECT_EQ(db.findLocation(1, 5, 1), nullptr);
    ASSERT_TRUE(editor.undo());
    EXPECT_EQ(db.findLocation(1, 5, 1), north);
    EXPECT_EQ(group().locations().front().get(), north);
    EXPECT_TRUE(north->image);
}

TEST_F(GroupEdits, ALocationInASummerPlanStaysUntilTheSummerPlanLetsGo) {
    SummerPlan plan;
    plan.name = "Summer, 2027";
    plan.addLocation(1, 5, 2);
    summer.editablePlans().push_back(plan);
    EditOutcome r = editor.removeLocation(oak, 2);
    EXPECT_FALSE(r.done);
    EXPECT_NE(r.refusal.find("summer plan \"Summer, 2027\""), std::string::npos) << r.refusal;
    EXPECT_FALSE(editor.removeGroup(oak).done);
    EXPECT_NE(db.findLocation(1, 5, 2), nullptr);
}

}  // namespace
}  // namespace quirn
