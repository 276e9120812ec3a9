#include <gtest/gtest.h>

#include "plans/Settings.h"
#include "tests/support/TempFolder.h"

namespace quirn {
namespace {

using test::readFile;
using test::writeFile;

TEST(Settings, MissingFileIsCreatedAndDefaultsStay) {
    test::TempFolder dir;
    Settings s;
    s.load(dir.file("profile.csv"));
    EXPECT_EQ(s.radioPort, 1);
    EXPECT_EQ(s.cityName, "Not Named");
    EXPECT_EQ(readFile(dir.file("profile.csv")), "");
}

TEST(Settings, MasterGroupOutOfRangeReadsAndSavesAsOne) {
    test::TempFolder dir;
    std::string path = dir.file("profile.csv");
    writeFile(path, "HasMasterGroups,1\r\nMasterGroup,15\r\n");
    Settings s;
    s.load(path);
    EXPECT_EQ(s.currentMasterGroup(), 1);
    ASSERT_TRUE(s.save(path));
    EXPECT_NE(readFile(path).find("\r\nMasterGroup,1\r\n"), std::string::npos);
    EXPECT_TRUE(s.setCurrentMasterGroup(4));
    EXPECT_EQ(s.currentMasterGroup(), 4);
    s.hasMasterGroups = 0;
    EXPECT_EQ(s.currentMasterGroup(), 1);
    EXPECT_FALSE(s.setCurrentMasterGroup(5));
}

TEST(Settings, AMasterGroupOutOfRangeIsSavedAsOneWithoutBeingAskedFor) {
    // A tool that only loads and saves never reads the current master group.
    test::TempFolder dir;
    std::string path = dir.file("profile.csv");
    writeFile(path, "\xEF\xBB\xBFRadioPort,3\r\nHasMasterGroups,1\r\nMasterGroup,15\r\n");
    Settings s;
    s.load(path);
    EXPECT_EQ(s.radioPort, 3);  // the first line counts despite the byte-order mark
    ASSERT_TRUE(s.save(path));
    EXPECT_NE(readFile(path).find("\r\nMasterGroup,1\r\n"), std::string::npos);
    writeFile(path, "MasterGroup,7\r\n");
    s.load(path);
    ASSERT_TRUE(s.save(path));
    EXPECT_NE(readFile(path).find("\r\nMasterGroup,7\r\n"), std::string::npos);
}

TEST(Settings, AgencyNameWithCommaSurvivesAndEmptyValueKeepsDefault) {
    test::TempFolder dir;
    std::string path = dir.file("profile.csv");
    writeFile(path,
              "CityName,Springfield, Shelby County\nRadioPort\nRadioPort,\nServer,smtp.local\n"
              "Unknown,5\nTextMode,0\nTextMode,1\n");
    Settings s;
    s.load(path);
    EXPECT_EQ(s.cityName, "Springfield, Shelby County");
    EXPECT_EQ(s.radioPort, 1);
    EXPECT_EQ(s.server, "smtp.local");
    EXPECT_EQ(s.textMode, 1);
    ASSERT_TRUE(s.save(path));
    Settings again;
    again.load(path);
    EXPECT_EQ(again.cityName, "Springfield, Shelby County");
    EXPECT_EQ(again.fileText(), s.fileText());
}

TEST(Settings, WritesAllKeysInOrder) {
    Settings s;
    EXPECT_EQ(s.fileText(),
              "EditorLocation,c:\\windows\\notepad\r\nRadioPort,1\r\nTextMode,1\r\n"
              "ReadOnlyMode,0\r\nValidateOnPowerup,0\r\nClassicMode,0\r\nValidateMF,0\r\n"
              "MasterGroup,1\r\nServer,mail.example.com\r\nSender,quirnradio@example.com\r\n"
              "HasMasterGroups,0\r\nCityName,Not Named\r\nSendTime3AM,0\r\nEnableM2M,0\r\n");
    EXPECT_EQ(Settings::masterGroupListText(10), "Master Group 10");
}

}  // namespace
}  // namespace quirn
