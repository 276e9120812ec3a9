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

class LogWriterFiles : public ::testing::Test {
  protected:
    test::TempFolder folder;
    const LogWriter logWriter{folder.workingFolder()};
    ManualClock clock{fromLocal(2026, 12, 6, 9, 5, 7)};
    void SetUp() override { ASSERT_TRUE(makeFolder(folder.logs())); }
};

TEST_F(LogWriterFiles, DailyFileNamesAndPlainRecords) {
    EXPECT_EQ(logWriter.logFileName(clock, kLogSystem),
              folder.logs() + "System_Log_December_06_2026.txt");
    logWriter.logSystem(clock, "Starting Program\n");
    logWriter.logSystem(clock, "No line end");
    EXPECT_EQ(readFile(logWriter.logFileName(clock, kLogSystem)),
              "09:05.07,Starting Program\r\n\r\n09:05.07,No line end\r\n");
    logWriter.logSystem(clock, "two\nlines");
    EXPECT_NE(readFile(logWriter.logFileName(clock, kLogSystem)).find("09:05.07,two\r\nlines\r\n"),
              std::string::npos);
    clock.set(fromLocal(2026, 12, 7, 0, 0, 1));  // past midnight: a new day's file
    logWriter.logError(clock, "x");
    EXPECT_EQ(readFile(folder.logs() + "Error_Log_December_07_2026.txt"), "00:00.01,x\r\n");
    logWriter.logValidate(clock, "v");
    logWriter.logEMail(clock, "m");
    EXPECT_TRUE(fileExists(folder.logs() + "Validate_Log_December_07_2026.txt"));
    EXPECT_TRUE(fileExists(folder.logs() + "EMail_Log_December_07_2026.txt"));
}

TEST_F(LogWriterFiles, TransmitRecordDropsHighBytesKeepsControlCharacters) {
    const unsigned char bytes[] = {'A', 0x80, 'B', 0xff, '\r', 'C', '\n', 'D'};
    logWriter.logTransmit(clock, "Serial Port", bytes, sizeof bytes);
    EXPECT_EQ(readFile(logWriter.logFileName(clock, kLogTransmit)),
              "09:05.07,To: Serial Port,AB\rC\r\nD\r\n");
}

TEST_F(LogWriterFiles, LocationRecordsUpTo1900BytesAreWrittenWhole) {
    Location l(1, 3, 7);
    l.name = "Main St";
    std::string reply(1900, 'r');
    logWriter.logLocation(clock, l, reinterpret_cast<const unsigned char*>(reply.data()),
                          reply.size());
    std::string expected = "09:05,Main St,7 01, 03, 07,1900," + reply + std::string(1, '\0');
    EXPECT_EQ(readFile(logWriter.logFileName(clock, kLogLocation)), expected);
    std::string tooLong(1901, 'r');
    logWriter.logLocation(clock, l, reinterpret_cast<const unsigned char*>(tooLong.data()),
                          tooLong.size());
    EXPECT_EQ(readFile(logWriter.logFileName(clock, kLogLocation)),
              expected + "09:05,Main St,7 01, 03, 07,1901,Location read too long.\r\n");
}

TEST_F(LogWriterFiles, MissingFoldersDropRecordsSilently) {
    logWriter.logTest(clock, "dropped");
    EXPECT_FALSE(fileExists(logWriter.testLogFileName(clock)));
    ASSERT_TRUE(makeFolder(folder.logs() + "Test Folders"));
    logWriter.logTest(clock, "kept");
    EXPECT_EQ(readFile(logWriter.testLogFileName(clock)), "09:05.07,kept\r\n");
    EXPECT_EQ(logWriter.testLogFileName(clock),
              folder.logs() + "Test Folders" + pathSeparator() + "Test_Log_December_06_2026.txt");
    const LogWriter nowhere{WorkingFolder(folder.path() + "missing/")};
    nowhere.logSystem(clock, "nowhere");  // no folder, no crash, no file
    EXPECT_FALSE(fileExists(nowhere.logFileName(clock, kLogSystem)));
}

}  // namespace
}  // namespace quirn
