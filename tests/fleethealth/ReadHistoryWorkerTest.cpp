#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <vector>

#include "HistoryTestReads.h"
#include "fleethealth/HistorySetAside.h"
#include "fleethealth/ReadHistory.h"
#include "ops/LogWriter.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "tests/support/TempFolder.h"

namespace quirn {
namespace {

using namespace std::chrono_literals;
using test::failedRead;
using test::kDaySeconds;
using test::kHistoryStart;
using test::validatedRead;

// Every wait on the worker is bounded; these are far above what a loaded machine needs.
constexpr auto kOpenWait = 20s;
constexpr auto kFlushWait = 60s;

class ReadHistoryWorkerTest : public ::testing::Test {
  protected:
    test::TempFolder folder;
    ManualClock clock{kHistoryStart};
    LogWriter log{folder.workingFolder()};
    std::string path = folder.file(kHistoryFileName);
    ReadHistory history{clock, log};

    void SetUp() override { ASSERT_TRUE(makeFolders(folder.logs())); }

    std::string systemLog() { return test::readFile(log.logFileName(clock, kLogSystem)); }
    long long readsInFile() {
        ReadHistoryStore reader;
        return reader.openForReading(path) ? reader.readCount() : -1;
    }
};

TEST_F(ReadHistoryWorkerTest, QueuedReadsAreWrittenInBatchesAndSeenByTheQueries) {
    ASSERT_TRUE(history.start(path));
    std::optional<HistoryOpenResult> opened = history.waitOpened(kOpenWait);
    ASSERT_TRUE(opened.has_value());
    EXPECT_EQ(opened->outcome, HistoryOpenResult::Outcome::Created);
    // More than two batches' worth, over 120 locations.
    const int count = static_cast<int>(ReadHistory::kBatchLimit) * 2 + 1234;
    for (int i = 0; i < count; ++i)
        history.record(validatedRead({1, 1 + i % 12, 1 + i / 12 % 10}, kHistoryStart + i, i % 7));
    ASSERT_TRUE(history.flush(kFlushWait));
    EXPECT_EQ(readsInFile(), count);
    EXPECT_EQ(history.latestOfEveryLocation().size(), 120u);
    EXPECT_EQ(history.locationHistory({1, 1, 1}).size(), static_cast<size_t>((count + 119) / 120));
    history.poll();
    EXPECT_EQ(systemLog().find("Read history"), std::string::npos) << systemLog();
}

TEST_F(ReadHistoryWorkerTest, StoppingWritesEverythingQueuedFirst) {
    ASSERT_TRUE(history.start(path));
    for (int i = 0; i < 3000; ++i)
        history.record(validatedRead({2, 1, 1 + i % 50}, kHistoryStart + i, 0));
    history.stop();
    EXPECT_FALSE(history.running());
    EXPECT_EQ(readsInFile(), 3000);
    history.record(validatedRead({2, 1, 1}, kHistoryStart + 5000, 0));  // after the stop
    history.poll();
    EXPECT_NE(systemLog().find("1 reads were not kept"), std::string::npos) << systemLog();
    EXPECT_EQ(readsInFile(), 3000);
}

TEST_F(ReadHistoryWorkerTest, RecordingDoesNotWaitForTheDisk) {
    ASSERT_TRUE(history.start(path));
    ASSERT_TRUE(history.waitOpened(kOpenWait).has_value());
    // Another connection holds the file's write lock: the worker's next insert waits on it.
    sqlite3* blocker = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &blocker), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(blocker, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    history.record(validatedRead({1, 1, 1}, kHistoryStart, 0));
    const auto before = std::chrono::steady_clock::now();
    for (int i = 1; i <= 2000; ++i) history.record(validatedRead({1, 1, 1}, kHistoryStart + i, 0));
    const auto spent = std::chrono::steady_clock::now() - before;
    EXPECT_FALSE(history.flush(200ms)) << "the worker could not have written past the lock";
    EXPECT_LT(spent, 100ms);
    ASSERT_EQ(sqlite3_exec(blocker, "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(blocker);
    ASSERT_TRUE(history.flush(kFlushWait));
    EXPECT_EQ(readsInFile(), 2001);
}

TEST_F(ReadHistoryWorkerTest, ADamagedFileIsLoggedSetAsideAndReadsGoOn) {
    const std::string garbage(7000, '\x7f');
    ASSERT_TRUE(test::writeFile(path, garbage));
    ASSERT_TRUE(history.start(path));
    std::optional<HistoryOpenResult> opened = history.waitOpened(kOpenWait);
    ASSERT_TRUE(opened.has_value());
    EXPECT_EQ(opened->outcome, HistoryOpenResult::Outcome::Replaced);
    history.record(validatedRead({1, 1, 1}, kHistoryStart, 0));
    ASSERT_TRUE(history.flush(kFlushWait));
    history.poll();
    const std::string aside = setAsideName(path, kHistoryStart);
    EXPECT_EQ(test::readFile(aside), garbage);
    const std::string logged = systemLog();
    EXPECT_NE(logged.find("was damaged"), std::string::npos) << logged;
    EXPECT_NE(logged.find(aside), std::string::npos) << logged;
    EXPECT_EQ(readsInFile(), 1);
}

TEST_F(ReadHistoryWorkerTest, AHistoryThatCannotBeOpenedDropsReadsAndSaysSo) {
    ASSERT_TRUE(test::writeFile(folder.file("plain"), "a file, not a folder"));
    path = folder.file("plain/ReadHistory.db");
    ASSERT_TRUE(history.start(path));
    std::optional<HistoryOpenResult> opened = history.waitOpened(kOpenWait);
    ASSERT_TRUE(opened.has_value());
    EXPECT_EQ(opened->outcome, HistoryOpenResult::Outcome::Failed);
    for (int i = 0; i < 3; ++i) history.record(failedRead({1, 1, 1}, kHistoryStart + i));
    EXPECT_TRUE(history.flush(kFlushWait));
    history.poll();
    const std::string logged = systemLog();
    EXPECT_NE(logged.find("could not be opened"), std::string::npos) << logged;
    EXPECT_NE(logged.find("3 reads were not kept"), std::string::npos) << logged;
    EXPECT_TRUE(history.latestOfEveryLocation().empty());
}

TEST_F(ReadHistoryWorkerTest, ReadsOlderThanTheRetentionArePruned) {
    ASSERT_TRUE(history.start(path));
    // One read a day for 402 days; the newest is day 401, so day 0 is past 400 days.
    for (int day = 0; day <= kHistoryRetentionDays + 1; ++day)
        history.record(validatedRead({1, 1, 1}, kHistoryStart + day * kDaySeconds, 0));
    ASSERT_TRUE(history.flush(kFlushWait));
    std::vector<ReadRecord> kept = history.locationHistory({1, 1, 1});
    ASSERT_EQ(kept.size(), static_cast<size_t>(kHistoryRetentionDays + 1));
    EXPECT_EQ(kept.front().time, kHistoryStart + kDaySeconds);
}

}  // namespace
}  // namespace quirn
