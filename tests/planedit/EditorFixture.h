#pragma once
#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <vector>

#include "planedit/PlanEditor.h"
#include "plans/DatabaseFiles.h"
#include "plans/OverrideStore.h"
#include "plans/PlanDatabase.h"
#include "plans/SummerPlanStore.h"
#include "platform/Clock.h"
#include "platform/LocalTime.h"
#include "tests/support/TempFolder.h"

namespace quirn::test {

// A read-back that stands for the last one a time switch gave.
class KeptReadBack : public ReadBackImage {
  public:
    std::vector<std::string> describeProgram() const override { return {"kept"}; }
    std::string describeRelay() const override { return "relay"; }
    std::time_t clock() const override { return 0; }
};

// A station's plan records in a temporary working folder with an editor over them, on the
// manual clock at Monday 7 December 2026, 10:00. Master group 1 holds group 5 "Oak" with two
// locations, day plans 1 and 2 ("Early Release"), and a weekday week.
class EditorFixture : public ::testing::Test {
  protected:
    TempFolder folder;
    const WorkingFolder working = folder.workingFolder();
    std::time_t now = fromLocal(2026, 12, 7, 10, 0, 0);
    ManualClock clock{now};
    PlanDatabase db;
    OverrideStore overrides{clock, working};
    SummerPlanStore summer{clock, working};
    PlanEditor editor{db, overrides, summer, clock, working, true};
    std::vector<PlanEditNotice> notices;
    const GroupKey oak{1, 5};

    void SetUp() override {
        Group& g = db.group(1, 5);
        g.setName("Oak");
        Location a(1, 5, 1);
        a.name = "Oak North";
        db.addLocation(a);
        Location b(1, 5, 2);
        b.name = "Oak South";
        b.connection = kM2MAddress;
        b.imsi = "310150123456789";
        db.addLocation(b);
        g.addStep(Step::atTime(1, 5, 1, 7, 0, kCommandOn));
        g.addStep(Step::atTime(1, 5, 1, 8, 30, kCommandOff));
        g.setDayPlanName(2, "Early Release");
        g.addStep(Step::atTime(1, 5, 2, 12, 0, kCommandOff));
        g.setImageCurrent();
        g.setChanged(false);
        editor.addListener([this](const PlanEditNotice& n) { notices.push_back(n); });
    }

    // Everything the database files would hold, as text: what a save writes.
    std::string files() {
        return dayPlanFileText(db, now) + "--\n" + stepsFileText(db) + "--\n" + groupsFileText(db) +
               "--\n" + locationsFileText(db);
    }
    Group& group(GroupKey key = {1, 5}) {
        Group* g = db.findGroup(key.masterGroup, key.group);
        EXPECT_NE(g, nullptr);
        return *g;
    }
};

}  // namespace quirn::test
