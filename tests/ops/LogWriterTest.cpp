#include <gtest/gtest.h>

#include "ops/LogWriter.h"
#include "plans/Location.h"
#include "platform/FileSystem.h"
#include "platform/LocalTime.h"
#include "platform/Paths.h"
#include "tests/support/TempFolder.h"

namespace quirn {
namespace {

using test::readFile;

class LogWriter : public ::testing::Test {
  protected:
    test::TempWorkingFolder folder;
    ManualClock clock{fromLocal(2026, 12, 6, 9, 5, 7)};
    void SetUp() override { ASSERT_TRUE(makeFolder(logFolder())); }
};

TEST_F(LogWriter, DailyFileNamesAndPlainRecords) {
    EXPECT_EQ(logFileName(clock, kLogSystem), logFolder() + "System_Log_December_06_2026.txt");
    logSystem(clock, "Starting Program\n");
    logSystem(clock, "No line end");
    EXPECT_EQ(readFile(logFileName(clock, kLogSystem)),
              "09:05.07,Starting Program\r\n\r\n09:05.07,No line end\r\n");
    logSystem(clock, "two\nlines");
    EXPECT_NE(readFile(logFileName(clock, kLogSystem)).find("09:05.07,two\r\nlines\r\n"),
              std::string::npos);
    clock.set(fromLocal(2026, 12, 7, 0, 0, 1));  // past midnight: a new day's file
    logError(clock, "x");
    EXPECT_EQ(readFile(logFolder() + "Error_Log_December_07_2026.txt"), "00:00.01,x\r\n");
    logValidate(clock, "v");
    logEMail(clock, "m");
    EXPECT_TRUE(fileExists(logFolder() + "Validate_Log_December_07_2026.txt"));
    EXPECT_TRUE(fileExists(logFolder() + "EMail_Log_December_07_2026.txt"));
}

TEST_F(LogWriter, TransmitRecordDropsHighBytesKeepsControlCharacters) {
    const unsigned char bytes[] = {'A', 0x80, 'B', 0xff, '\r', 'C', '\n', 'D'};
    logTransmit(clock, "Serial Port", bytes, sizeof bytes);
    EXPECT_EQ(readFile(logFileName(clock, kLogTransmit)),
              "09:05.07,To: Serial Port,AB\rC\r\nD\r\n");
}

TEST_F(LogWriter, LocationRecordsUpTo1900BytesAreWrittenWhole) {
    Location l(1, 3, 7);
    l.name = "Main St";
    std::string reply(1900, 'r');
    logLocation(clock, l, reinterpret_cast<const unsigned char*>(reply.data()), reply.size());
    std::string expected = "09:05,Main St,7 01, 03, 07,1900," + reply + std::string(1, '\0');
    EXPECT_EQ(readFile(logFileName(clock, kLogLocation)), expected);
    std::string tooLong(1901, 'r');
    logLocation(clock, l, reinterpret_cast<const unsigned char*>(tooLong.data()), tooLong.size());
    EXPECT_EQ(readFile(logFileName(clock, kLogLocation)),
              expected + "09:05,Main St,7 01, 03, 07,1901,Location read too long.\r\n");
}

TEST_F(LogWriter, MissingFoldersDropRecordsSilently) {
    logTest(clock, "dropped");
    EXPECT_FALSE(fileExists(testLogFileName(clock)));
    ASSERT_TRUE(makeFolder(logFolder() + "Test Folders"));
    logTest(clock, "kept");
    EXPECT_EQ(readFile(testLogFileName(clock)), "09:05.07,kept\r\n");
    EXPECT_EQ(testLogFileName(clock), logFolder() + "Test Folders/Test_Log_December_06_2026.txt");
    setWorkingFolderOverride(folder.path() + "missing/");
    logSystem(clock, "nowhere");  // no folder, no crash, no file
    EXPECT_FALSE(fileExists(logFileName(clock, kLogSystem)));
    setWorkingFolderOverride(folder.path());
}

}  // namespace
}  // namespace quirn
