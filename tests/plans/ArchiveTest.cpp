#include <gtest/gtest.h>

#include <string>

#include "plans/Archive.h"
#include "plans/DatabaseFiles.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/LocalTime.h"
#include "platform/Paths.h"
#include "tests/support/FileTimes.h"
#include "tests/support/TempFolder.h"

namespace quirn {
namespace {

using test::readFile;
using test::writeFile;

class ArchiveTest : public ::testing::Test {
  protected:
    test::TempFolder folder;
    const WorkingFolder working = folder.workingFolder();
    std::time_t endOfDay = fromLocal(2026, 12, 6, 23, 59, 0);
    ManualClock clock{endOfDay};
    Archive archive{clock, working};

    // Writes the four database files, all last written at `when`.
    void writeDatabase(std::time_t when) {
        const std::string files[] = {dayPlanFileName(working), groupsFileName(working),
                                     locationsFileName(working), stepsFileName(working)};
        ASSERT_TRUE(writeFile(files[0], "DayPlanDefault,1,3,1,2\r\nSWT,2005,12,25,12,0,0\r\n"));
        ASSERT_TRUE(writeFile(files[1], "Group,1,North,3\r\n"));
        ASSERT_TRUE(writeFile(files[2], "Location,3,1,School,Main St,7,127.0.0.2,0\r\n"));
        ASSERT_TRUE(writeFile(files[3], "Step,1,3,480,1,1\r\nStep,1,3,900,1,0\r\n"));
        for (const std::string& f : files) ASSERT_TRUE(test::setModifiedTime(f, when));
    }
};

TEST_F(ArchiveTest, NameSpellsTheMonthAndHasABlankBeforeTheExtension) {
    EXPECT_EQ(archive.fileNameAt(endOfDay),
              folder.path() + "Archive" + pathSeparator() + "Archived_December_06_2026_23_59 .txt");
    EXPECT_EQ(archive.fileNameAt(fromLocal(2026, 3, 9, 7, 5, 59)),
              folder.path() + "Archive" + pathSeparator() + "Archived_March_09_2026_07_05 .txt");
    EXPECT_EQ(archiveFolder(working), folder.path() + "Archive" + pathSeparator());
}

TEST_F(ArchiveTest, ArchiveHoldsTheFourFilesUnderTheirMarkers) {
    writeDatabase(endOfDay - 600);
    ASSERT_TRUE(removeFile(groupsFileName(working)));  // a missing file keeps its marker
    ASSERT_TRUE(archive.make());
    const std::string expected =
        "Archived December 06 2026\r\n\r\n"
        "Do not modify this file as Quirn may not be able to read it afterwards.\r\n\r\n"
        "// dayplans\r\n\r\n"
        "DayPlanDefault,1,3,1,2\r\nSWT,2005,12,25,12,0,0\r\n"
        "\r\n\r\n// groups\r\n\r\n"
        "\r\n\r\n// locations\r\n\r\n"
        "Location,3,1,School,Main St,7,127.0.0.2,0\r\n"
        "\r\n\r\n// steps\r\n\r\n"
        "Step,1,3,480,1,1\r\nStep,1,3,900,1,0\r\n";
    EXPECT_EQ(readFile(archive.fileNameAt(endOfDay)), expected);
    EXPECT_EQ(archive.text(), expected);
}

TEST_F(ArchiveTest, ArchiveOfTheSameMinuteReplacesTheEarlierOne) {
    writeDatabase(endOfDay - 600);
    ASSERT_TRUE(archive.make());
    ASSERT_TRUE(writeFile(groupsFileName(working), "Group,1,South,4\r\n"));
    clock.set(endOfDay + 30);
    ASSERT_TRUE(archive.make());
    const std::string text = readFile(archive.fileNameAt(endOfDay));
    EXPECT_NE(text.find("Group,1,South,4"), std::string::npos);
    EXPECT_EQ(text.find("Group,1,North,3"), std::string::npos);
}

TEST_F(ArchiveTest, DatabaseWrittenTwoDaysAgoGivesNoArchive) {
    writeDatabase(fromLocal(2026, 12, 4, 23, 59, 0));
    EXPECT_FALSE(archive.changedToday());
    EXPECT_EQ(archive.makeIfChanged(), Archive::Outcome::Unchanged);
    EXPECT_FALSE(fileExists(archive.fileNameAt(endOfDay)));
}

TEST_F(ArchiveTest, OneFileWrittenToday) {
    // Yesterday's end-of-day save is just past the limit; a file written 82849 s ago is not.
    writeDatabase(endOfDay - Archive::kChangedWithinSeconds);
    EXPECT_FALSE(archive.changedToday());
    ASSERT_TRUE(test::setModifiedTime(stepsFileName(working),
                                      endOfDay - Archive::kChangedWithinSeconds + 1));
    EXPECT_TRUE(archive.changedToday());
    EXPECT_EQ(archive.makeIfChanged(), Archive::Outcome::Made);
    EXPECT_TRUE(fileExists(archive.fileNameAt(endOfDay)));
}

TEST_F(ArchiveTest, MissingFilesCountAsUnchangedAndAMissingFolderIsMade) {
    EXPECT_FALSE(archive.changedToday());
    EXPECT_EQ(archive.makeIfChanged(), Archive::Outcome::Unchanged);
    ASSERT_TRUE(writeFile(stepsFileName(working), "Step,1,3,480,1,1\r\n"));
    clock.set(*fileModifiedTime(stepsFileName(working)) + 60);
    EXPECT_FALSE(folderExists(archiveFolder(working)));
    EXPECT_EQ(archive.makeIfChanged(), Archive::Outcome::Made);
    EXPECT_TRUE(fileExists(archive.fileNameAt(clock.now())));
}

TEST_F(ArchiveTest, ArchiveThatCannotBeWrittenIsReportedAsFailed) {
    writeDatabase(endOfDay - 600);
    // A file in place of the folder leaves nowhere to write.
    ASSERT_TRUE(writeFile(folder.path() + "Archive", "not a folder"));
    EXPECT_EQ(archive.makeIfChanged(), Archive::Outcome::Failed);
}

}  // namespace
}  // namespace quirn
