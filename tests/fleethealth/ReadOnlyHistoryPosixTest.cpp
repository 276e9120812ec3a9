#include <gtest/gtest.h>
#include <sys/stat.h>

#include <vector>

#include "HistoryTestReads.h"
#include "fleethealth/HistorySetAside.h"
#include "fleethealth/ReadHistoryStore.h"
#include "platform/FileSystem.h"
#include "tests/support/TempFolder.h"
#include "tests/support/Unprivileged.h"

namespace quirn {
namespace {

using test::kHistoryStart;
using test::validatedRead;

// What the unprivileged child found, as its exit code.
constexpr int kAsExpected = 0;
constexpr int kOpened = 1;
constexpr int kNoProblemGiven = 2;
constexpr int kFileTouched = 3;
constexpr int kSomethingCreated = 4;

// A working folder the station may read but not write (a share mounted read-only, a folder
// whose rights were taken away): the history cannot be kept, nothing is moved or made, and
// the caller is told why.
class ReadOnlyHistoryPosixTest : public ::testing::Test {
  protected:
    test::TempFolder folder;
    std::string path = folder.file(kHistoryFileName);
    void SetUp() override { ASSERT_EQ(chmod(folder.path().c_str(), 0755), 0); }

    int openAsNobody(const std::string& expectedBytes) {
        return test::runUnprivileged([&] {
            ReadHistoryStore store;
            HistoryOpenResult result = store.open(path, kHistoryStart);
            if (result.ok()) return kOpened;
            if (result.problem.empty()) return kNoProblemGiven;
            if (test::readFile(path) != expectedBytes) return kFileTouched;
            if (pathExists(path + "-wal") || pathExists(setAsideName(path, kHistoryStart)))
                return kSomethingCreated;
            return kAsExpected;
        });
    }
};

TEST_F(ReadOnlyHistoryPosixTest, NoHistoryCanBeCreated) {
    EXPECT_EQ(openAsNobody(""), kAsExpected);
    EXPECT_FALSE(pathExists(path));
}

TEST_F(ReadOnlyHistoryPosixTest, ADamagedFileStaysWhereItIs) {
    const std::string garbage(6000, '\x13');
    ASSERT_TRUE(test::writeFile(path, garbage));
    ASSERT_EQ(chmod(path.c_str(), 0644), 0);
    EXPECT_EQ(openAsNobody(garbage), kAsExpected);
}

TEST_F(ReadOnlyHistoryPosixTest, AHealthyFileIsNotTakenForADamagedOne) {
    {
        ReadHistoryStore store;
        ASSERT_TRUE(store.open(path, kHistoryStart).ok());
        ASSERT_TRUE(
            store.insert(std::vector<ReadRecord>{validatedRead({1, 1, 1}, kHistoryStart, 0)}));
    }
    ASSERT_EQ(chmod(path.c_str(), 0644), 0);
    EXPECT_EQ(openAsNobody(test::readFile(path)), kAsExpected);
}

}  // namespace
}  // namespace quirn
