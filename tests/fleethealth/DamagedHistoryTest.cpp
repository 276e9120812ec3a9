#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <vector>

#include "HistoryTestReads.h"
#include "fleethealth/HistorySetAside.h"
#include "fleethealth/ReadHistoryStore.h"
#include "platform/FileSystem.h"
#include "tests/support/TempFolder.h"

namespace quirn {
namespace {

using test::kDaySeconds;
using test::kHistoryStart;
using test::validatedRead;

class DamagedHistoryTest : public ::testing::Test {
  protected:
    test::TempFolder folder;
    std::string path = folder.file(kHistoryFileName);
    std::string aside = setAsideName(path, kHistoryStart);

    // A real history with a year of reads of 50 locations, closed.
    void writeHistory() {
        ReadHistoryStore store;
        ASSERT_TRUE(store.open(path, kHistoryStart).ok());
        std::vector<ReadRecord> reads;
        for (int day = 0; day < 365; ++day)
            for (int l = 1; l <= 50; ++l)
                reads.push_back(validatedRead({1, 1, l}, kHistoryStart + day * kDaySeconds, day));
        ASSERT_TRUE(store.insert(reads));
        store.close();
        ASSERT_FALSE(fileExists(path + "-wal") && std::filesystem::file_size(path + "-wal") > 0)
            << "a closed history leaves everything in the main file";
    }

    // Opening replaces the file: the old one is beside it under its set-aside name, and the
    // fresh one takes reads.
    void expectReplaced(const std::string& expectedBytes) {
        ReadHistoryStore store;
        HistoryOpenResult result = store.open(path, kHistoryStart);
        ASSERT_EQ(result.outcome, HistoryOpenResult::Outcome::Replaced) << result.problem;
        EXPECT_FALSE(result.problem.empty());
        EXPECT_EQ(result.setAsidePath, aside);
        if (!expectedBytes.empty()) {
            EXPECT_EQ(test::readFile(aside), expectedBytes);
        }
        ASSERT_TRUE(
            store.insert(std::vector<ReadRecord>{validatedRead({2, 2, 2}, kHistoryStart, 0)}))
            << store.lastError();
        EXPECT_EQ(store.readCount(), 1);
    }
};

TEST_F(DamagedHistoryTest, ATruncatedFileIsSetAsideAndAFreshOneStarted) {
    writeHistory();
    std::string bytes = test::readFile(path);
    ASSERT_GT(bytes.size(), 100000u);
    bytes.resize(bytes.size() / 2);
    ASSERT_TRUE(test::writeFile(path, bytes));
    expectReplaced(bytes);
}

TEST_F(DamagedHistoryTest, GarbageBytesAreSetAside) {
    std::string garbage;
    for (int i = 0; i < 9000; ++i) garbage.push_back(static_cast<char>((i * 7919 + 13) & 0xff));
    ASSERT_TRUE(test::writeFile(path, garbage));
    expectReplaced(garbage);
}

TEST_F(DamagedHistoryTest, OverwrittenPagesInsideAValidHeaderFailTheIntegrityCheck) {
    writeHistory();
    std::string bytes = test::readFile(path);
    // Page 3 onward (4096-byte pages) overwritten; the header and the schema page stay.
    for (size_t i = 2 * 4096; i < 6 * 4096 && i < bytes.size(); ++i) bytes[i] = '\x5a';
    ASSERT_TRUE(test::writeFile(path, bytes));
    expectReplaced(bytes);
}

TEST_F(DamagedHistoryTest, AFolderWhereTheFileShouldBeIsSetAside) {
    ASSERT_TRUE(makeFolder(path));
    ASSERT_TRUE(test::writeFile(path + "/inside.txt", "kept"));
    expectReplaced("");
    EXPECT_EQ(test::readFile(aside + "/inside.txt"), "kept");
}

TEST_F(DamagedHistoryTest, AFileFromANewerProgramIsSetAsideNotWrittenOver) {
    writeHistory();
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "PRAGMA user_version=7", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    const std::string bytes = test::readFile(path);
    ReadHistoryStore store;
    HistoryOpenResult result = store.open(path, kHistoryStart);
    ASSERT_EQ(result.outcome, HistoryOpenResult::Outcome::Replaced);
    EXPECT_NE(result.problem.find("newer"), std::string::npos) << result.problem;
    EXPECT_EQ(test::readFile(aside), bytes);
}

TEST_F(DamagedHistoryTest, AnotherProgramsDatabaseIsSetAside) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE notes(t TEXT); INSERT INTO notes VALUES('x')", nullptr,
                           nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    expectReplaced(test::readFile(path));
}

TEST_F(DamagedHistoryTest, ASecondDamageOnTheSameSecondGetsItsOwnName) {
    ASSERT_TRUE(test::writeFile(aside, "the first"));
    ASSERT_TRUE(test::writeFile(path, std::string(5000, 'x')));
    ReadHistoryStore store;
    HistoryOpenResult result = store.open(path, kHistoryStart);
    ASSERT_EQ(result.outcome, HistoryOpenResult::Outcome::Replaced);
    EXPECT_EQ(result.setAsidePath, aside + "-2");
    EXPECT_EQ(test::readFile(aside), "the first");
    EXPECT_EQ(test::readFile(aside + "-2"), std::string(5000, 'x'));
}

TEST_F(DamagedHistoryTest, AHealthyFileIsNeverSetAside) {
    writeHistory();
    ReadHistoryStore store;
    HistoryOpenResult result = store.open(path, kHistoryStart);
    EXPECT_EQ(result.outcome, HistoryOpenResult::Outcome::Opened) << result.problem;
    EXPECT_EQ(store.readCount(), 365 * 50);
    EXPECT_FALSE(pathExists(aside));
}

TEST_F(DamagedHistoryTest, AFileInsideAFileCannotBeOpenedAndNothingIsMoved) {
    ASSERT_TRUE(test::writeFile(folder.file("plain"), "not a folder"));
    ReadHistoryStore store;
    HistoryOpenResult result = store.open(folder.file("plain/ReadHistory.db"), kHistoryStart);
    EXPECT_EQ(result.outcome, HistoryOpenResult::Outcome::Failed);
    EXPECT_FALSE(result.problem.empty());
    EXPECT_FALSE(store.isOpen());
    EXPECT_FALSE(store.insert(std::vector<ReadRecord>{validatedRead({1, 1, 1}, kHistoryStart, 0)}));
    EXPECT_EQ(test::readFile(folder.file("plain")), "not a folder");
}

}  // namespace
}  // namespace quirn
