#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "app/StationApp.h"
#include "ops/ErrorKinds.h"
#include "ops/LogWriter.h"
#include "platform/LocalTime.h"
#include "platform/Paths.h"
#include "platform/ProfileStore.h"
#include "platform/VirtualTimerService.h"
#include "tests/support/TempFolder.h"
#include "tests/support/Unprivileged.h"

namespace quirn {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::writeFile;

// The files the station loads and later saves over, each with content of its own.
const std::map<std::string, std::string> kFiles = {
    {"steps.csv", "Step,1,1,435,1,1\r\nStep,1,1,495,1,0\r\n"},
    {"errors.csv", "ErrorValidateLocation,1796000000,1,1,1, Lincoln Ave Validate Failed\r\n"},
    {"mail.csv", "MailUser,Ann,ann@example.org,16,0\r\n"},
    {"summer.csv", "SummerPlan,Camp\r\nStartDate,2026,6,1\r\nEndDate,2026,8,31\r\n"},
    {"quirnradio.ini", "[Commo]\r\nIPPort=4001\r\n"},
};

// A station that could not read some of its files runs a whole day through the 23:59 save and
// its shutdown without writing a byte over them, and says so in the System log. Run as an
// unprivileged user, so a file of mode 000 really cannot be read (CI runs as root).
TEST(StationUnreadable, FilesThatCouldNotBeReadAreReportedAndNeverSavedOver) {
    test::TempFolder folder;
    const WorkingFolder working = folder.workingFolder();
    const LogWriter logWriter{working};
    writeFile(folder.file("profile.csv"), "RadioPort,0\r\n");
    writeFile(folder.file("groups.csv"), "Group,1,Lincoln Elementary,1\r\n");
    writeFile(folder.file("locations.csv"), "Location,1,1,School,Lincoln Ave,1,127.0.0.5,1\r\n");
    for (const auto& [name, bytes] : kFiles) writeFile(folder.file(name), bytes);
    test::openUpForUnprivileged(folder.path());
    for (const auto& [name, bytes] : kFiles) ASSERT_TRUE(test::makeUnreadable(folder.file(name)));

    const int result = test::runUnprivileged([&] {
        // The lock of the single-instance check goes where this user may write.
        const std::string runtime = folder.file("run");
        if (::mkdir(runtime.c_str(), 0700) != 0) return 11;
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        ManualClock clock{fromLocal(2026, 12, 9, 23, 58, 30)};
        VirtualTimerService timers{clock};
        StationApp app(clock, timers, working);
        if (!app.startUp()) return 10;
        // Changes the station would save: an edited location, a new error, a technician, an
        // entry of the profile store.
        app.database().findLocation(1, 1, 1)->name = "Lincoln Avenue";
        app.errors().addError(std::make_unique<ErrorValidateLocation>(
            clock.now(), 1, 1, 1, " Lincoln Avenue Validate Failed"));
        app.technicians().add(MailUser{"Bob", "bob@example.org", 16, false});
        app.profile().writeInt("Commo", "IPPort", 4002);
        timers.advance(90);  // through 23:59
        app.shutDown();
        return 0;
    });
    ASSERT_EQ(result, 0);

    for (const auto& [name, bytes] : kFiles) {
        fs::permissions(folder.file(name), fs::perms::owner_read | fs::perms::owner_write);
        EXPECT_EQ(readFile(folder.file(name)), bytes) << name;
    }
    // The readable files were saved as usual.
    EXPECT_NE(readFile(folder.file("locations.csv")).find("Lincoln Avenue"), std::string::npos);
    ManualClock logDay{fromLocal(2026, 12, 9, 23, 59, 0)};
    const std::string system = readFile(logWriter.logFileName(logDay, kLogSystem));
    for (const auto& [name, bytes] : kFiles)
        EXPECT_NE(system.find(folder.file(name) + " could not be read"), std::string::npos)
            << name << "\n"
            << system;
    EXPECT_NE(system.find(folder.file("steps.csv") + " not saved"), std::string::npos) << system;
}

}  // namespace
}  // namespace quirn
