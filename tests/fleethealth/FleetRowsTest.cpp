// The fleet's rows as the technician reads them: one per location, joined with the read
// history and the error list, sorted, filtered and searched, at a generated fleet.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>

#include "fleethealth/FleetRowTexts.h"
#include "fleethealth/FleetRows.h"
#include "ops/ErrorKinds.h"
#include "ops/ErrorList.h"
#include "platform/LocalTime.h"
#include "tests/fleethealth/FleetTestFacts.h"
#include "tests/support/FleetGenerator.h"
#include "tests/support/TempFolder.h"

namespace quirn::test {
namespace {

class NoMail final : public ValidateFailureListener {
  public:
    void notifyValidateFailure(const ErrorRecord&) override {}
};

class FleetRowsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        generateFleet(db, FleetShape{}, now);
        facts = makeFleetFacts(db, now);
        rows.build(db, facts.health, nullptr, now);
    }
    std::set<std::string> visibleNames() const {
        std::set<std::string> names;
        for (std::size_t i = 0; i < rows.visibleCount(); ++i) names.insert(rows.visible(i).name);
        return names;
    }

    const std::time_t now = fromLocal(2026, 3, 16, 9, 15, 0);
    PlanDatabase db;
    FleetFacts facts;
    FleetRows rows;
};

TEST_F(FleetRowsTest, OneRowPerLocationInDatabaseOrderWithItsRecordFields) {
    const std::vector<Location*> all = db.allLocations();
    ASSERT_EQ(rows.all().size(), all.size());
    ASSERT_EQ(rows.visibleCount(), all.size());
    for (std::size_t i = 0; i < all.size(); ++i) {
        const FleetRow& r = rows.visible(i);
        EXPECT_EQ(r.masterGroup, all[i]->masterGroup);
        EXPECT_EQ(r.group, all[i]->group);
        EXPECT_EQ(r.location, all[i]->number);
        EXPECT_EQ(r.name, all[i]->name);
        EXPECT_EQ(r.groupName, db.findGroup(r.masterGroup, r.group)->name());
        EXPECT_EQ(fleetModelText(r), modelShortName(all[i]->model));
    }
}

TEST_F(FleetRowsTest, TheLinkTellsRadioM2MAndWiFiApart) {
    std::set<std::string> kinds;
    for (const FleetRow& r : rows.all()) {
        const std::string link = fleetLinkText(r);
        if (r.connection == kRadioAddress)
            EXPECT_EQ(link, "Radio");
        else if (r.connection == kM2MAddress)
            EXPECT_EQ(link, "M2M client");
        else
            EXPECT_EQ(link, "WiFi " + r.connection);
        kinds.insert(link.substr(0, 4));
    }
    // The generated fleet has every kind of link.
    EXPECT_EQ(kinds.size(), 3u);
}

TEST_F(FleetRowsTest, TheHistorysLatestReadGivesStateOffsetDriftAndProgram) {
    const FleetRow& wrong = rows.all()[1];
    EXPECT_EQ(wrong.name, facts.wrongClock->name);
    EXPECT_EQ(fleetOffsetText(wrong), "+300 s");
    EXPECT_EQ(wrong.state, ReadState::ValidateFailed);
    EXPECT_EQ(fleetStateText(wrong), db.findGroup(wrong.masterGroup, wrong.group)->name() + ", " +
                                         wrong.name + " Connection Made, Validate Failed.");
    EXPECT_EQ(fleetLastReadText(wrong), "2026-03-16 08:15");
    EXPECT_EQ(fleetDriftText(rows.all()[5]), "+9.00 s/day");
    EXPECT_EQ(fleetProgramText(rows.all()[2]), "Differs");
    EXPECT_EQ(fleetProgramText(rows.all()[0]), "Matches");
    const FleetRow& never = rows.all()[3];
    EXPECT_EQ(fleetLastReadText(never), "Never");
    EXPECT_EQ(fleetOffsetText(never), "");
    EXPECT_EQ(never.state, ReadState::NotRead);
}

TEST_F(FleetRowsTest, EachFilterShowsExactlyTheLocationsThatAnswerIt) {
    rows.setFilter(FleetFilter::WrongClock);
    EXPECT_EQ(visibleNames(), std::set<std::string>{facts.wrongClock->name});
    rows.setFilter(FleetFilter::ProgramDiffers);
    EXPECT_EQ(visibleNames(), std::set<std::string>{facts.programDiffers->name});
    rows.setFilter(FleetFilter::NotReadForWeek);
    EXPECT_EQ(visibleNames(), std::set<std::string>{facts.neverRead->name});
    rows.setFilter(FleetFilter::Drifting);
    EXPECT_EQ(visibleNames(), std::set<std::string>{facts.drifting->name});
    rows.setFilter(FleetFilter::All);
    EXPECT_EQ(rows.visibleCount(), db.locationCount());
    EXPECT_EQ(rows.countOf(FleetFilter::WrongClock), 1u);
}

TEST_F(FleetRowsTest, ALocationLastAnsweringEightDaysAgoIsNotReadForAWeekAndOneSixDaysAgoIs) {
    constexpr std::time_t kDay = 24 * 60 * 60;
    facts.health[0].lastAnswered = now - 8 * kDay;
    facts.health[4].lastAnswered = now - 6 * kDay;
    rows.build(db, facts.health, nullptr, now);
    rows.setFilter(FleetFilter::NotReadForWeek);
    EXPECT_EQ(visibleNames(), (std::set<std::string>{rows.all()[0].name, facts.neverRead->name}));
}

TEST_F(FleetRowsTest, SortingByNameAndByOffsetSizeEitherWay) {
    rows.sort(FleetColumn::Name, true);
    for (std::size_t i = 1; i < rows.visibleCount(); ++i)
        EXPECT_LE(rows.visible(i - 1).name, rows.visible(i).name);
    rows.sort(FleetColumn::Name, false);
    for (std::size_t i = 1; i < rows.visibleCount(); ++i)
        EXPECT_GE(rows.visible(i - 1).name, rows.visible(i).name);
    // The worst clock first, whichever way it is off.
    facts.health[0].latest.clockOffsetSeconds = -400;
    rows.build(db, facts.health, nullptr, now);
    rows.sort(FleetColumn::ClockOffset, false);
    EXPECT_EQ(*rows.visible(0).clockOffsetSeconds, -400);
    EXPECT_EQ(*rows.visible(1).clockOffsetSeconds, 300);
    // Unknown offsets come last when descending.
    EXPECT_FALSE(rows.visible(rows.visibleCount() - 1).clockOffsetSeconds.has_value());
}

TEST_F(FleetRowsTest, SortingKeepsTheFilter) {
    rows.setFilter(FleetFilter::Drifting);
    rows.sort(FleetColumn::Drift, false);
    EXPECT_EQ(visibleNames(), std::set<std::string>{facts.drifting->name});
}

TEST_F(FleetRowsTest, FindGoesToTheNextNameHoldingTheTextInAnyCaseAndRoundToTheTop) {
    const std::string name = rows.all()[2].name;
    const std::string part = name.substr(1, 4);
    std::string upper = part;
    std::transform(upper.begin(), upper.end(), upper.begin(), ::toupper);
    std::vector<std::size_t> hits;
    for (std::size_t i = 0; i < rows.visibleCount(); ++i)
        if (rows.visible(i).name.find(part) != std::string::npos) hits.push_back(i);
    ASSERT_FALSE(hits.empty());
    auto found = rows.find(upper);
    ASSERT_TRUE(found);
    EXPECT_EQ(*found, hits.front());
    found = rows.find(upper, hits.back());
    ASSERT_TRUE(found);
    EXPECT_EQ(*found, hits.front());  // round to the top
    EXPECT_FALSE(rows.find("no such name anywhere"));
}

TEST_F(FleetRowsTest, OpenErrorRecordsAreCountedPerLocationAndNoneOnceTheLocationIsReadAgain) {
    TempFolder folder;
    ManualClock clock(now);
    NoMail mail;
    ErrorList errors(clock, folder.workingFolder(), mail);
    const Location* l = facts.programDiffers;
    errors.addError(std::make_unique<ErrorValidateLocation>(now, l->masterGroup, l->group,
                                                            l->number, "failed"));
    errors.recordPasswayConfirmation(l->masterGroup, l->group, l->number, true);
    rows.build(db, facts.health, &errors, now);
    EXPECT_EQ(rows.all()[2].openErrors, 2);
    EXPECT_EQ(rows.all()[1].openErrors, 0);
    errors.clearLocation(l->masterGroup, l->group, l->number);
    rows.build(db, facts.health, &errors, now);
    EXPECT_EQ(rows.all()[2].openErrors, 0);
}

TEST(FleetRowsLargestTest, EveryLocationOfTheLargestFleetGetsItsOwnHistory) {
    const std::time_t now = fromLocal(2026, 3, 16, 9, 15, 0);
    PlanDatabase db;
    generateFleet(db, FleetShape::largest(), now);
    std::vector<LocationHealth> health;
    db.visitLocations([&](const Location& l) {
        // Each location's offset is its own numbers, so a wrong join shows.
        health.push_back(
            healthyRead(l, now - 60, l.masterGroup * 10000 + l.group * 100 + l.number));
    });
    std::reverse(health.begin(), health.end());
    FleetRows rows;
    rows.build(db, health, nullptr, now);
    ASSERT_EQ(rows.all().size(), 98010u);
    for (const FleetRow& r : rows.all())
        ASSERT_EQ(*r.clockOffsetSeconds, r.masterGroup * 10000 + r.group * 100 + r.location);
}

}  // namespace
}  // namespace quirn::test
