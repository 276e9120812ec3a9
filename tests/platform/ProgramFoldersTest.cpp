// Where the running program lives, which the demo takes quirn-sim from and, on Windows, the help
// its installed documents: the test program itself is found there.
#include <gtest/gtest.h>

#include "platform/FileSystem.h"
#include "platform/ProgramFolders.h"

namespace quirn {
namespace {

constexpr const char* kThisProgram = "test_platform";

bool endsInSeparator(const std::string& folder) {
    return !folder.empty() && (folder.back() == '/' || folder.back() == '\\');
}

TEST(ProgramFolders, TheRunningProgramIsInItsFolderUnderItsOwnName) {
    const std::string folder = runningProgramFolder();
    ASSERT_TRUE(endsInSeparator(folder)) << folder;
    EXPECT_TRUE(folderExists(folder)) << folder;
    const std::string self = programBesideThisOne(kThisProgram);
    EXPECT_EQ(self.rfind(folder, 0), 0u) << self;
    EXPECT_TRUE(fileExists(self)) << self;
}

TEST(ProgramFolders, TheUserCacheFolderIsAFolderPath) {
    const std::string cache = userCacheFolder();
    EXPECT_TRUE(endsInSeparator(cache)) << cache;
}

}  // namespace
}  // namespace quirn
