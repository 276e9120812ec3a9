#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/WorkingFolder.h"

namespace quirn {
namespace {

TEST(WorkingFolder, GivesItsFilesLogFolderAndParent) {
    WorkingFolder folder("/tmp/qr-root");
    EXPECT_EQ(folder.path(), "/tmp/qr-root/");
    EXPECT_EQ(folder.file("dayplan.csv"), "/tmp/qr-root/dayplan.csv");
    EXPECT_EQ(folder.logs(), "/tmp/qr-root/LogFiles/");
    EXPECT_EQ(folder.parent(), "/tmp/");
}

TEST(WorkingFolder, KeepsAnEndingSeparatorAndHasNoParentAtTheTop) {
    EXPECT_EQ(WorkingFolder("/srv/q/").path(), "/srv/q/");
    EXPECT_EQ(WorkingFolder("c:\\vorn\\quirn3\\").parent(), "c:\\vorn\\");
    EXPECT_EQ(WorkingFolder("quirn3").parent(), "");
}

TEST(WorkingFolder, TwoFoldersInOneProcessStayApart) {
    WorkingFolder a("/tmp/qr-a");
    WorkingFolder b("/tmp/qr-b");
    EXPECT_EQ(a.file("errors.csv"), "/tmp/qr-a/errors.csv");
    EXPECT_EQ(b.file("errors.csv"), "/tmp/qr-b/errors.csv");
    EXPECT_NE(a, b);
}

TEST(WorkingFolder, DefaultComesFromTheEnvironmentEachCall) {
    setenv("QUIRN_ROOT", "/srv/quirn", 1);
    EXPECT_EQ(defaultWorkingFolder().path(), "/srv/quirn/");
    setenv("QUIRN_ROOT", "/srv/other", 1);
    EXPECT_EQ(defaultWorkingFolder().path(), "/srv/other/");
    unsetenv("QUIRN_ROOT");
    const char* home = std::getenv("HOME");
    const std::string savedHome = home ? home : "";
    setenv("HOME", "/home/tester", 1);
    EXPECT_EQ(defaultWorkingFolder().path(), "/home/tester/vorn/quirn3/");
    if (home)
        setenv("HOME", savedHome.c_str(), 1);
    else
        unsetenv("HOME");
}

}  // namespace
}  // namespace quirn
