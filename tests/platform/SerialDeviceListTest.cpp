#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/SerialDeviceList.h"
#include "tests/support/TempFolder.h"

namespace quirn::test {
namespace {

TEST(SerialDeviceList, ByIdNamesFirstThenEachKernelFamilyInNumberOrder) {
    TempFolder dev;
    ASSERT_TRUE(makeFolders(dev.file("serial/by-id")));
    for (const char* name :
         {"ttyS10", "ttyS2", "ttyACM0", "ttyUSB1", "ttyUSB0", "tty0", "ttySX", "ttyS", "console",
          "serial/by-id/usb-Zeta-if00", "serial/by-id/usb-Alpha-if00"})
        ASSERT_TRUE(touchFile(dev.file(name))) << name;
    std::vector<std::string> expected;
    for (const char* name : {"serial/by-id/usb-Alpha-if00", "serial/by-id/usb-Zeta-if00", "ttyS2",
                             "ttyS10", "ttyUSB0", "ttyUSB1", "ttyACM0"})
        expected.push_back(dev.file(name));
    EXPECT_EQ(presentSerialDevices(dev.path()), expected);
}

TEST(SerialDeviceList, AMissingFolderHasNoDevices) {
    TempFolder dev;
    EXPECT_TRUE(presentSerialDevices(dev.file("nothing/")).empty());
    EXPECT_TRUE(presentSerialDevices(dev.path()).empty());
}

TEST(SerialDeviceList, ComPortsAreTakenFromWindowsDeviceNamesInNumberOrderOnceEach) {
    const std::vector<std::string> names = {"COM10", "LPT1", "com3",   "C:",      "COM3",
                                            "COM",   "COMX", "COM01",  "COM0",    "COM2",
                                            "COM2A", "AUX",  "COM256", "COM1000", "NUL"};
    const std::vector<std::string> expected = {"\\\\.\\COM2", "\\\\.\\COM3", "\\\\.\\COM10",
                                               "\\\\.\\COM256"};
    EXPECT_EQ(comPortDevices(names), expected);
    EXPECT_TRUE(comPortDevices({}).empty());
}

}  // namespace
}  // namespace quirn::test
