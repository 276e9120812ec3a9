// The file layer under injected faults: a crash (the process stopped) or a failure at every
// write, sync, rename and removal of a replace, an append and a copy.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/AtomicFile.h"
#include "platform/FileFaults.h"
#include "platform/FileSystem.h"
#include "tests/support/ChildRun.h"
#include "tests/support/TempFolder.h"

namespace quirn {
namespace {

using test::readFile;
using test::TempFolder;
using test::writeFile;

int entriesIn(const std::string& folder) {
    int entries = 0;
    for (auto& e : std::filesystem::directory_iterator(folder)) (void)e, ++entries;
    return entries;
}

class FileFaults : public ::testing::Test {
  protected:
    void TearDown() override { FileFaultInjector::disarm(); }
    // The cut points of an operation: how many file calls it makes.
    template <typename Operation>
    long callsOf(Operation operation) {
        FileFaultInjector::startCounting();
        operation();
        long calls = FileFaultInjector::callsCounted();
        FileFaultInjector::disarm();
        return calls;
    }
    TempFolder dir;
};

TEST_F(FileFaults, ACrashAtEveryCallOfAReplaceLeavesTheOldOrTheNewFileWhole) {
    const std::string path = dir.file("dayplan.csv");
    const std::string old = "DayPlan,1,1,5,2026,12,7\r\n";
    const std::string next = std::string(70000, 'n') + "\r\n";
    ASSERT_TRUE(writeFile(path, old));
    const long calls = callsOf([&] { replaceFileAtomically(dir.file("count.csv"), next); });
    EXPECT_EQ(calls, 4) << "write, sync, rename, sync of the folder";
    for (long n = 1; n <= calls; ++n) {
        ASSERT_TRUE(writeFile(path, old));
        int code = test::runInChild([&] {
            FileFaultInjector::arm(FileFault::Crash, n);
            replaceFileAtomically(path, next);
            return 0;
        });
        EXPECT_EQ(code, kFileFaultCrashExitCode) << "cut point " << n;
        std::string after = readFile(path);
        // Before the rename the old file stands; from the rename on, the new one.
        EXPECT_EQ(after, n <= 3 ? old : next) << "cut point " << n;
    }
}

TEST_F(FileFaults, AFailureAtEveryCallOfAReplaceIsReportedAndLeavesNoTemporary) {
    const std::string path = dir.file("groups.csv");
    const std::string old = "Group,1,1,Elm Street\r\n";
    const std::string next = "Group,1,1,Oak Street\r\n";
    const long calls = callsOf([&] { replaceFileAtomically(dir.file("count.csv"), next); });
    ASSERT_GT(calls, 0);
    std::filesystem::remove(dir.file("count.csv"));
    for (long n = 1; n <= calls; ++n) {
        ASSERT_TRUE(writeFile(path, old));
        FileFaultInjector::arm(FileFault::Fail, n);
        EXPECT_FALSE(replaceFileAtomically(path, next)) << "cut point " << n;
        FileFaultInjector::disarm();
        // Only the folder's sync comes after the rename: the new file is in place but the
        // replace still says it may not last.
        EXPECT_EQ(readFile(path), n < calls ? old : next) << "cut point " << n;
        EXPECT_EQ(entriesIn(dir.path()), 1) << "cut point " << n;
    }
    EXPECT_TRUE(replaceFileAtomically(path, next));
    EXPECT_EQ(readFile(path), next);
}

TEST_F(FileFaults, AFullDiskFailsEveryWriteUntilSpaceReturns) {
    const std::string log = dir.file("System_Log.txt");
    const std::string table = dir.file("quirnwireless.quirn");
    ASSERT_TRUE(appendToFile(log, "first\r\n"));
    ASSERT_TRUE(writeFile(table, "old"));
    FileFaultInjector::arm(FileFault::DiskFull, 1);
    EXPECT_FALSE(appendToFile(log, "second\r\n"));
    EXPECT_FALSE(appendToFile(log, "third\r\n"));
    EXPECT_FALSE(replaceFileAtomically(table, "new"));
    EXPECT_FALSE(copyFile(log, dir.file("copy.txt")));
    FileFaultInjector::disarm();
    EXPECT_EQ(readFile(log), "first\r\n");
    EXPECT_EQ(readFile(table), "old");
    EXPECT_FALSE(fileExists(dir.file("copy.txt")));
    EXPECT_TRUE(appendToFile(log, "fourth\r\n"));
    EXPECT_TRUE(replaceFileAtomically(table, "new"));
    EXPECT_EQ(readFile(log), "first\r\nfourth\r\n");
    EXPECT_EQ(readFile(table), "new");
}

TEST_F(FileFaults, ACrashInACopyNeverLeavesHalfATarget) {
    const std::string from = dir.file("locations.csv");
    const std::string to = dir.file("archive.csv");
    ASSERT_TRUE(writeFile(from, std::string(50000, 'l')));
    ASSERT_TRUE(writeFile(to, "yesterday"));
    const long calls = callsOf([&] { copyFile(from, dir.file("count.csv")); });
    ASSERT_EQ(calls, 4);
    for (long n = 1; n <= calls; ++n) {
        ASSERT_TRUE(writeFile(to, "yesterday"));
        EXPECT_EQ(test::runInChild([&] {
                      FileFaultInjector::arm(FileFault::Crash, n);
                      return copyFile(from, to) ? 0 : 1;
                  }),
                  kFileFaultCrashExitCode);
        std::string after = readFile(to);
        EXPECT_TRUE(after == "yesterday" || after == readFile(from)) << "cut point " << n;
    }
}

TEST_F(FileFaults, AFailedRemovalKeepsTheFile) {
    const std::string path = dir.file("override.csv");
    ASSERT_TRUE(writeFile(path, "Override,1,1\r\n"));
    EXPECT_EQ(callsOf([] {}), 0);
    FileFaultInjector::arm(FileFault::Fail, 1);
    EXPECT_FALSE(removeFile(path));
    FileFaultInjector::disarm();
    EXPECT_TRUE(fileExists(path));
    EXPECT_TRUE(removeFile(path));
    EXPECT_FALSE(fileExists(path));
}

TEST(StaleTemporaries, OnlyOldTemporariesOfAStoppedReplaceAreRemoved) {
    TempFolder dir;
    ASSERT_TRUE(writeFile(dir.file("steps.csv.4242.0.tmp~"), "half"));
    ASSERT_TRUE(writeFile(dir.file("steps.csv"), "whole"));
    ASSERT_TRUE(writeFile(dir.file("notes.tmp"), "not ours"));
    std::optional<std::time_t> written = fileModifiedTime(dir.file("steps.csv.4242.0.tmp~"));
    ASSERT_TRUE(written);
    // A temporary just written may belong to a replace going on in another program.
    EXPECT_EQ(removeStaleTemporaries(dir.path(), *written + 5, 60), 0);
    EXPECT_EQ(removeStaleTemporaries(dir.path(), *written + 61, 60), 1);
    EXPECT_FALSE(fileExists(dir.file("steps.csv.4242.0.tmp~")));
    EXPECT_EQ(readFile(dir.file("steps.csv")), "whole");
    EXPECT_TRUE(fileExists(dir.file("notes.tmp")));
}

}  // namespace
}  // namespace quirn
