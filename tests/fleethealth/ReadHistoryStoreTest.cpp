#include <gtest/gtest.h>
#include <sqlite3.h>

#include <vector>

#include "HistoryTestReads.h"
#include "fleethealth/ReadHistoryStore.h"
#include "tests/support/TempFolder.h"

namespace quirn {
namespace {

using test::failedRead;
using test::kDaySeconds;
using test::kHistoryStart;
using test::validatedRead;

// A pragma's integer, asked of the file by SQLite itself.
long long pragmaOf(const std::string& path, const char* pragma) {
    sqlite3* db = nullptr;
    long long value = -1;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v2(db, pragma, -1, &s, nullptr) == SQLITE_OK &&
            sqlite3_step(s) == SQLITE_ROW)
            value = sqlite3_column_int64(s, 0);
        sqlite3_finalize(s);
    }
    sqlite3_close(db);
    return value;
}

class ReadHistoryStoreTest : public ::testing::Test {
  protected:
    test::TempFolder folder;
    std::string path = folder.file(kHistoryFileName);
};

TEST_F(ReadHistoryStoreTest, ANewFileGetsTheSchemaVersionAndAWriteAheadLog) {
    ReadHistoryStore store;
    HistoryOpenResult result = store.open(path, kHistoryStart);
    ASSERT_EQ(result.outcome, HistoryOpenResult::Outcome::Created) << result.problem;
    store.close();
    EXPECT_EQ(pragmaOf(path, "PRAGMA user_version"), kHistorySchemaVersion);
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    sqlite3_stmt* s = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, "PRAGMA journal_mode", -1, &s, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_step(s), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)), "wal");
    sqlite3_finalize(s);
    sqlite3_close(db);
    ReadHistoryStore again;
    EXPECT_EQ(again.open(path, kHistoryStart).outcome, HistoryOpenResult::Outcome::Opened);
}

TEST_F(ReadHistoryStoreTest, EveryFieldOfAReadComesBackAsWritten) {
    ReadHistoryStore store;
    ASSERT_TRUE(store.open(path, kHistoryStart).ok());
    ReadRecord read = validatedRead({2, 3, 4}, kHistoryStart, -75);
    read.state = ReadState::ValidateFailed;
    read.source = ReadSource::M2M;
    read.clockHasSeconds = false;
    read.program = ProgramMatch::Differs;
    read.relayState = 1;
    read.resultBits = 3;
    read.bytesRead = 776;
    ReadRecord none = failedRead({2, 3, 4}, kHistoryStart + 60);
    none.relayState = kRelayUnknown;
    ReadRecord sent;
    sent.time = kHistoryStart + 120;
    sent.location = {2, 3, 4};
    sent.clockSent = true;
    ASSERT_TRUE(store.insert(std::vector<ReadRecord>{read, none, sent})) << store.lastError();

    std::vector<ReadRecord> back = store.locationHistory({2, 3, 4});
    ASSERT_EQ(back.size(), 3u);
    const ReadRecord& r = back[0];
    EXPECT_EQ(r.time, read.time);
    EXPECT_EQ(r.location, read.location);
    EXPECT_EQ(r.state, ReadState::ValidateFailed);
    EXPECT_EQ(r.source, ReadSource::M2M);
    EXPECT_TRUE(r.hasClock);
    EXPECT_FALSE(r.clockHasSeconds);
    EXPECT_EQ(r.clockOffsetSeconds, -75);
    EXPECT_EQ(r.program, ProgramMatch::Differs);
    EXPECT_EQ(r.relayState, 1);
    EXPECT_EQ(r.resultBits, 3u);
    EXPECT_EQ(r.bytesRead, 776);
    EXPECT_FALSE(r.clockSent);
    EXPECT_EQ(back[1].state, ReadState::ConnectionFailed);
    EXPECT_FALSE(back[1].hasClock);
    EXPECT_EQ(back[1].relayState, kRelayUnknown);
    EXPECT_TRUE(back[2].clockSent);
}

TEST_F(ReadHistoryStoreTest, TwoReadsInOneSecondAreBothKept) {
    ReadHistoryStore store;
    ASSERT_TRUE(store.open(path, kHistoryStart).ok());
    ReadRecord first = validatedRead({1, 1, 1}, kHistoryStart, 5);
    ReadRecord second = failedRead({1, 1, 1}, kHistoryStart);
    ASSERT_TRUE(store.insert(std::vector<ReadRecord>{first}));
    ASSERT_TRUE(store.insert(std::vector<ReadRecord>{second})) << store.lastError();
    std::vector<ReadRecord> back = store.locationHistory({1, 1, 1});
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(back[0].state, ReadState::ValidatePassed);
    EXPECT_EQ(back[1].state, ReadState::ConnectionFailed);
}

TEST_F(ReadHistoryStoreTest, TheFleetViewHoldsEachLocationsLatestReadAndDriftInKeyOrder) {
    ReadHistoryStore store;
    ASSERT_TRUE(store.open(path, kHistoryStart).ok());
    std::vector<ReadRecord> reads;
    for (int day = 0; day < 5; ++day) {
        const std::time_t t = kHistoryStart + day * kDaySeconds;
        reads.push_back(validatedRead({3, 1, 1}, t, 3 * day));  // 3 s a day
        reads.push_back(validatedRead({1, 2, 7}, t, 10));       // steady
        reads.push_back(day < 2 ? validatedRead({1, 1, 9}, t, 0) : failedRead({1, 1, 9}, t));
    }
    ASSERT_TRUE(store.insert(reads)) << store.lastError();

    std::vector<LocationHealth> fleet = store.latestOfEveryLocation();
    ASSERT_EQ(fleet.size(), 3u);
    EXPECT_EQ(fleet[0].latest.location, (LocationKey{1, 1, 9}));
    EXPECT_EQ(fleet[1].latest.location, (LocationKey{1, 2, 7}));
    EXPECT_EQ(fleet[2].latest.location, (LocationKey{3, 1, 1}));

    const LocationHealth& silent = fleet[0];
    EXPECT_EQ(silent.latest.state, ReadState::ConnectionFailed);
    EXPECT_EQ(silent.latest.time, kHistoryStart + 4 * kDaySeconds);
    EXPECT_EQ(silent.lastAnswered, kHistoryStart + kDaySeconds);
    EXPECT_EQ(silent.lastValidated, kHistoryStart + kDaySeconds);
    EXPECT_FALSE(silent.fit().known);  // two reads with a clock

    DriftFit drifting = fleet[2].fit();
    ASSERT_TRUE(drifting.known);
    EXPECT_DOUBLE_EQ(drifting.secondsPerDay, 3.0);
    EXPECT_TRUE(drifting.drifting);
    EXPECT_EQ(*drifting.crossesLimitAt, kHistoryStart + 40 * kDaySeconds);
    EXPECT_FALSE(fleet[1].fit().drifting);

    // The summary's fit is the fit of the location's history.
    DriftFit fromHistory = currentDrift(offsetSamples(store.locationHistory({3, 1, 1})));
    EXPECT_DOUBLE_EQ(fromHistory.secondsPerDay, drifting.secondsPerDay);
    EXPECT_EQ(fromHistory.crossesLimitAt, drifting.crossesLimitAt);

    LocationHealth one;
    ASSERT_TRUE(store.locationHealth({1, 2, 7}, one));
    EXPECT_EQ(one.latest.clockOffsetSeconds, 10);
    EXPECT_FALSE(store.locationHealth({9, 9, 9}, one));
}

TEST_F(ReadHistoryStoreTest, HistorySinceADateLeavesOutOlderReads) {
    ReadHistoryStore store;
    ASSERT_TRUE(store.open(path, kHistoryStart).ok());
    std::vector<ReadRecord> reads;
    for (int day = 0; day < 10; ++day)
        reads.push_back(validatedRead({1, 1, 1}, kHistoryStart + day * kDaySeconds, day));
    ASSERT_TRUE(store.insert(reads));
    std::vector<ReadRecord> recent =
        store.locationHistory({1, 1, 1}, kHistoryStart + 7 * kDaySeconds);
    ASSERT_EQ(recent.size(), 3u);
    EXPECT_EQ(recent.front().clockOffsetSeconds, 7);
    EXPECT_TRUE(store.locationHistory({1, 1, 2}).empty());
}

TEST_F(ReadHistoryStoreTest, PruningDeletesOnlyOldReadsASliceOfLocationsAtATime) {
    ReadHistoryStore store;
    ASSERT_TRUE(store.open(path, kHistoryStart).ok());
    std::vector<ReadRecord> reads;
    const LocationKey keys[] = {{1, 1, 1}, {1, 1, 2}, {2, 5, 1}};
    for (int day = 0; day < 10; ++day)
        for (const LocationKey& key : keys)
            reads.push_back(validatedRead(key, kHistoryStart + day * kDaySeconds, 0));
    ASSERT_TRUE(store.insert(reads));
    const std::time_t cutoff = kHistoryStart + 4 * kDaySeconds;  // days 0-3 go
    EXPECT_EQ(store.pruneSlice(cutoff, 2), 8);                   // the first two locations
    EXPECT_EQ(store.locationHistory({1, 1, 2}).size(), 6u);
    EXPECT_EQ(store.locationHistory({2, 5, 1}).size(), 10u);
    EXPECT_EQ(store.pruneSlice(cutoff, 2), 4);  // the third, then the slice ends the fleet
    EXPECT_EQ(store.pruneSlice(cutoff, 2), 0);  // round again: nothing old is left
    EXPECT_EQ(store.readCount(), 18);
    // The summaries stay: the latest read and the drift do not depend on old reads.
    EXPECT_EQ(store.latestOfEveryLocation().size(), 3u);
}

TEST_F(ReadHistoryStoreTest, AReaderSeesWhatTheWriterCommitted) {
    ReadHistoryStore writer;
    ASSERT_TRUE(writer.open(path, kHistoryStart).ok());
    ASSERT_TRUE(writer.insert(std::vector<ReadRecord>{validatedRead({1, 1, 1}, kHistoryStart, 1)}));
    ReadHistoryStore reader;
    ASSERT_TRUE(reader.openForReading(path)) << reader.lastError();
    EXPECT_EQ(reader.latestOfEveryLocation().size(), 1u);
    ASSERT_TRUE(writer.insert(std::vector<ReadRecord>{validatedRead({1, 1, 2}, kHistoryStart, 1)}));
    EXPECT_EQ(reader.latestOfEveryLocation().size(), 2u);
    EXPECT_FALSE(reader.insert(std::vector<ReadRecord>{failedRead({1, 1, 3}, kHistoryStart)}));
    ReadHistoryStore none;
    EXPECT_FALSE(none.openForReading(folder.file("missing.db")));
}

}  // namespace
}  // namespace quirn
