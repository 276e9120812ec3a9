#include <gtest/gtest.h>

#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "fleethealth/ReadRecorder.h"
#include "plans/LocationReadState.h"
#include "tests/validationrun/StationRunFixture.h"
#include "validationrun/ReadOutcomeSink.h"
#include "validationrun/RunHistoryRecorder.h"

namespace quirn::test {
namespace {

constexpr long long kStepMs = 500;

using Numbers = std::tuple<int, int, int>;

// What the run told the history of.
class RecordingSink final : public ReadOutcomeSink {
  public:
    void runReadEnded(Location& l, ReadOutcome outcome, std::time_t, bool) override {
        read.insert({l.masterGroup, l.group, l.number});
        outcomes.push_back(outcome);
    }
    std::set<Numbers> read;
    std::vector<ReadOutcome> outcomes;
};

// Radio locations in two master groups and three groups, no radio port: every read ends as a
// failed connection, and the sink says which locations were read.
class RunSelectionOnStation : public StationRunFixture {
  protected:
    RecordingSink sink;
    std::unique_ptr<ValidationRun> ownRun;

    void SetUp() override {
        writeStation(
            locationLine(1, kRadioAddress, 0, 1, 1) + locationLine(2, kRadioAddress, 0, 1, 1) +
                locationLine(1, kRadioAddress, 0, 2, 1) + locationLine(1, kRadioAddress, 0, 1, 2) +
                locationLine(2, kRadioAddress, 0, 1, 2) + "Ignore,1,2,2\r\n",
            "RadioPort,0\r\n");
        ASSERT_TRUE(startStation());
        ownRun = std::make_unique<ValidationRun>(clock, timers, app->comms()->commo(),
                                                 app->database(), logWriter, &sink);
    }

    std::set<Numbers> runOf(const RunSelection& selection) {
        EXPECT_EQ(ownRun->start(selection, "by the technician"),
                  ValidationRun::StartResult::Started);
        EXPECT_TRUE(runUntil([&] { return !ownRun->running(); }, kStepMs));
        return sink.read;
    }

    void TearDown() override {
        ownRun.reset();
        StationRunFixture::TearDown();
    }
};

TEST_F(RunSelectionOnStation, AllReadsEveryLocationButTheDisabledOne) {
    const std::set<Numbers> expected = {{1, 1, 1}, {1, 1, 2}, {1, 2, 1}, {2, 1, 1}};
    EXPECT_EQ(runOf(RunSelection::all()), expected);
    EXPECT_EQ(sink.outcomes.size(), 4u) << "a location was read twice";
    for (ReadOutcome o : sink.outcomes) EXPECT_EQ(o, ReadOutcome::ConnectionFailed);
    EXPECT_EQ(ownRun->lastSummary()->counts.skippedDisabled, 1u);
    EXPECT_EQ(ownRun->progress().total, 4u);
}

TEST_F(RunSelectionOnStation, AMasterGroupReadsItsGroupsOnly) {
    const std::set<Numbers> expected = {{1, 1, 1}, {1, 1, 2}, {1, 2, 1}};
    EXPECT_EQ(runOf(RunSelection::ofMasterGroup(1)), expected);
    EXPECT_NE(systemLog().find("Validation run of master group 1 started by the technician."),
              std::string::npos);
}

TEST_F(RunSelectionOnStation, AGroupReadsItsLocationsOnly) {
    const std::set<Numbers> expected = {{1, 2, 1}};
    EXPECT_EQ(runOf(RunSelection::ofGroup(1, 2)), expected);
    EXPECT_EQ(ownRun->lastSummary()->counts.skippedDisabled, 0u);
}

TEST_F(RunSelectionOnStation, FailingReadsThoseWhoseLastReadDidNotValidate) {
    auto setState = [&](int mg, int g, int l, ReadState state) {
        app->database().findLocation(mg, g, l)->readState = static_cast<int32_t>(state);
    };
    setState(1, 1, 1, ReadState::ValidatePassed);
    setState(1, 1, 2, ReadState::ValidateFailed);
    setState(1, 2, 1, ReadState::ValidatePassed);
    setState(2, 1, 1, ReadState::ConnectionFailed);
    const std::set<Numbers> expected = {{1, 1, 2}, {2, 1, 1}};
    EXPECT_EQ(runOf(RunSelection::failing()), expected);
    // The ones that validated were not touched.
    EXPECT_EQ(static_cast<ReadState>(app->database().findLocation(1, 1, 1)->readState),
              ReadState::ValidatePassed);
}

TEST_F(RunSelectionOnStation, ListedLocationsReadThoseOnlyOnceEach) {
    // Out of order, one twice, one that is not in the database, one validate-disabled.
    const RunSelection selection =
        RunSelection::ofLocations({{2, 1, 1}, {1, 1, 2}, {2, 1, 1}, {3, 1, 1}, {2, 1, 2}});
    EXPECT_EQ(selection.text(), "4 locations");
    EXPECT_FALSE(selection.mayIncludeGroup(1, 2));
    EXPECT_TRUE(selection.mayIncludeGroup(2, 1));
    const std::set<Numbers> expected = {{1, 1, 2}, {2, 1, 1}};
    EXPECT_EQ(runOf(selection), expected);
    EXPECT_EQ(sink.outcomes.size(), 2u) << "a location was read twice";
    EXPECT_EQ(ownRun->lastSummary()->counts.skippedDisabled, 1u);
    EXPECT_NE(systemLog().find("Validation run of 4 locations started by the technician."),
              std::string::npos)
        << systemLog();
}

TEST_F(RunSelectionOnStation, ALocationDeletedWhileQueuedIsCountedAndNotRead) {
    EXPECT_EQ(ownRun->start(RunSelection::ofGroup(1, 1), "by the technician"),
              ValidationRun::StartResult::Started);
    // The selection was walked at the start; the group goes before the first read starts.
    app->database().removeGroup(1, 1);
    EXPECT_TRUE(runUntil([&] { return !ownRun->running(); }, kStepMs));
    EXPECT_TRUE(sink.read.empty());
    EXPECT_EQ(ownRun->lastSummary()->counts.gone, 2u);
}

class RecordingRecorder final : public ReadRecorder {
  public:
    void record(const ReadRecord& read) override { reads.push_back(read); }
    std::vector<ReadRecord> reads;
};

// With no radio port the request is refused and the read ends only by the read state rule:
// the read-back handler never hears of it, so the run gives it to the history itself.
TEST_F(RunSelectionOnStation, ReadsTheReadBackHandlerNeverSawGoToTheHistory) {
    RecordingRecorder history;
    RunHistoryRecorder recorder(history, app->comms()->download(),
                                RunHistoryRecorder::Records::NotHandled);
    ownRun->setSink(&recorder);
    runOf(RunSelection::ofGroup(1, 1));
    ASSERT_EQ(history.reads.size(), 2u);
    for (const ReadRecord& r : history.reads) {
        EXPECT_EQ(r.source, ReadSource::Radio);
        EXPECT_EQ(r.state, ReadState::ConnectionFailed);
        EXPECT_FALSE(r.hasClock);
        EXPECT_GE(r.time, ownRun->lastSummary()->started);
        EXPECT_LE(r.time, ownRun->lastSummary()->ended);
    }
}

}  // namespace
}  // namespace quirn::test
