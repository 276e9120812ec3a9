#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "tests/loader/UtilitiesFixture.h"

// The devices the dialog offers are the POSIX device families (by-id names, ttyS, ttyUSB).
namespace quirn::test {
namespace {

// A COM entry on a device this computer may or may not have.
std::string entry(int com, const std::string& device) {
    return "COM " + std::to_string(com) + "  " + device +
           (pathExists(device) ? "" : "  (not present)");
}

// An adapter that was unplugged keeps its COM entry, which says the device is not there, and
// says it no more once it is plugged in again.
TEST_F(UtilitiesTest, AComEntryWhoseDeviceIsAbsentSaysSo) {
    ASSERT_TRUE(makeFolders(devices.file("serial/by-id")));
    const std::string plugged = devices.file("serial/by-id/usb-Radio_Cable-if00");
    const std::string unplugged = devices.file("serial/by-id/usb-Bench_Adapter-if00");
    ASSERT_TRUE(touchFile(plugged));
    profile.writeString("Serial", "COM2", plugged);
    profile.writeString("Serial", "COM3", unplugged);
    auto u = make(AttachedType::Qn510);
    EXPECT_EQ(u->portChoices()[static_cast<std::size_t>(indexOf(*u, "COM 2"))],
              "COM 2  " + plugged);
    EXPECT_EQ(u->portChoices()[static_cast<std::size_t>(indexOf(*u, "COM 3"))],
              "COM 3  " + unplugged + "  (not present)");

    ASSERT_TRUE(touchFile(unplugged));
    u->close();
    u->open();
    EXPECT_EQ(u->portChoices()[static_cast<std::size_t>(indexOf(*u, "COM 3"))],
              "COM 3  " + unplugged);
}

TEST_F(UtilitiesTest, PortChoicesNameTheirDevicesAndOfferEveryDevicePresent) {
    profile.writeString("Serial", "COM2", "/dev/serial/by-id/usb-Bench_Adapter-if00");
    ASSERT_TRUE(makeFolders(devices.file("serial/by-id")));
    for (const char* name : {"serial/by-id/usb-Radio_Cable-if00", "ttyUSB0", "ttyS1"})
        ASSERT_TRUE(touchFile(devices.file(name)));
    auto u = make(AttachedType::Qn510);
    EXPECT_EQ(
        u->portChoices(),
        (std::vector<std::string>{
            "Disabled", entry(1, "/dev/ttyS0"),
            "COM 2  /dev/serial/by-id/usb-Bench_Adapter-if00  (not present)",
            entry(3, "/dev/ttyS2"), entry(4, "/dev/ttyS3"),
            devices.file("serial/by-id/usb-Radio_Cable-if00") + "  (as COM 1)",
            devices.file("ttyS1") + "  (as COM 1)", devices.file("ttyUSB0") + "  (as COM 1)"}));

    // Verifying a device offered maps it to COM 1 in the profile and opens it.
    u->choosePort(indexOf(*u, devices.file("ttyUSB0")));
    u->verifyPort();
    EXPECT_EQ(profile.getString("Serial", "COM1", ""), devices.file("ttyUSB0"));
    EXPECT_EQ(device->openPaths.back(), devices.file("ttyUSB0"));
    EXPECT_EQ(u->portChoices()[1], "COM 1  " + devices.file("ttyUSB0"));
    EXPECT_EQ(u->selectedPortIndex(), 1);
}

}  // namespace
}  // namespace quirn::test
