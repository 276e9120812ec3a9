#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/Paths.h"
#include "platform/WorkingFolder.h"

namespace quirn {
namespace {

// A folder given without its separator gets this platform's.
const std::string sep = pathSeparator();

TEST(WorkingFolder, GivesItsFilesLogFolderAndParent) {
    WorkingFolder folder("/tmp/qr-root");
    EXPECT_EQ(folder.path(), "/tmp/qr-root" + sep);
    EXPECT_EQ(folder.file("dayplan.csv"), "/tmp/qr-root" + sep + "dayplan.csv");
    EXPECT_EQ(folder.logs(), "/tmp/qr-root" + sep + "LogFiles" + sep);
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
    EXPECT_EQ(a.file("errors.csv"), "/tmp/qr-a" + sep + "errors.csv");
    EXPECT_EQ(b.file("errors.csv"), "/tmp/qr-b" + sep + "errors.csv");
    EXPECT_NE(a, b);
}

}  // namespace
}  // namespace quirn
