#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/AtomicFile.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/TempFolder.h"

namespace quirn {
namespace {

using test::readFile;
using test::TempFolder;
using test::writeFile;

// A full disk (the file-size limit stands in for it) in the middle of a replace leaves the old
// file whole and no temporary behind.
TEST(AtomicFilePosix, FullDiskKeepsTheOldFile) {
    TempFolder dir;
    std::string path = dir.file("big.csv");
    std::string old(5000, 'o');
    ASSERT_TRUE(writeFile(path, old));
    EXPECT_EQ(
        test::runWithFileSizeLimit(
            1000, [&] { return replaceFileAtomically(path, std::string(20000, 'n')) ? 1 : 0; }),
        0)
        << "the failed replace must report failure";
    EXPECT_EQ(readFile(path), old);
    int entries = 0;
    for (auto& e : std::filesystem::directory_iterator(dir.path())) (void)e, ++entries;
    EXPECT_EQ(entries, 1);
}

}  // namespace
}  // namespace quirn
