#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "QuirnctlRunner.h"
#include "plans/DatabaseFiles.h"
#include "plans/PlanDatabase.h"
#include "platform/LocalTime.h"
#include "platform/Paths.h"
#include "tests/support/FleetGenerator.h"
#include "tests/support/TempFolder.h"
#include "tests/support/Unprivileged.h"

namespace quirn {
namespace {

namespace fs = std::filesystem;
using test::ToolRun;

std::map<std::string, std::string> folderBytes(const std::string& dir) {
    std::map<std::string, std::string> bytes;
    for (const auto& entry : fs::recursive_directory_iterator(dir))
        if (entry.is_regular_file())
            bytes[entry.path().string()] = test::readFile(entry.path().string());
    return bytes;
}

// A database file that is there but cannot be read must stop every job: read as empty, it
// would make `program` clear a time switch's week and `db resave` write an empty file.
TEST(QuirnctlUnreadable, AnUnreadableDatabaseFileStopsEveryJobAndNothingIsWritten) {
    test::TempFolder root, out, scratch;
    const WorkingFolder working = root.workingFolder();
    PlanDatabase db;
    test::generateFleet(db, test::FleetShape{1, 2, 3, 4, 6, 4, 1, false, 2},
                        fromLocal(2026, 3, 18, 10, 15, 30));
    ASSERT_TRUE(saveDatabase(db, working, fromLocal(2026, 3, 18, 10, 15, 30)));
    ASSERT_GT(fs::file_size(root.file("steps.csv")), 0u);
    const auto before = folderBytes(root.path());

    // The build folder may sit where the unprivileged user cannot go (CI clones under /root):
    // the child runs a copy of the program from the scratch folder.
    const std::string program = scratch.file("quirnctl");
    fs::copy_file(QUIRNCTL_PATH, program);
    test::openUpForUnprivileged(root.path());
    test::openUpForUnprivileged(out.path());
    test::openUpForUnprivileged(scratch.path());
    ASSERT_TRUE(test::makeUnreadable(root.file("steps.csv")));

    const std::vector<std::vector<std::string>> jobs = {
        {"db", "resave", "--out", out.path()},
        {"program", "1", "1", "1"},
        {"image", "1", "1", "1"},
    };
    for (const auto& job : jobs) {
        std::vector<std::string> args = {"--root", root.path(), "--now", "2026-03-18 10:15:30"};
        args.insert(args.end(), job.begin(), job.end());
        // The child's run leaves its output in the scratch folder.
        int code = test::runUnprivileged(
            [&] { return test::runQuirnctlAt(program, args, scratch.path()).exitCode; });
        EXPECT_EQ(code, 2) << job[0];
        std::string err = test::readFile(scratch.file("stderr"));
        EXPECT_NE(err.find("steps.csv"), std::string::npos) << job[0] << ": " << err;
        EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
    }
    fs::permissions(root.file("steps.csv"), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(folderBytes(root.path()), before);
    EXPECT_TRUE(fs::is_empty(out.path()));
}

}  // namespace
}  // namespace quirn
