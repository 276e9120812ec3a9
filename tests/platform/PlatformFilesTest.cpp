#include <gtest/gtest.h>

#include <filesystem>

#include "platform/AtomicFile.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/ProfileStore.h"
#include "platform/TextLines.h"
#include "platform/WorkingFolder.h"
#include "tests/support/TempFolder.h"

namespace quirn {
namespace {

using test::readFile;
using test::TempFolder;
using test::writeFile;

TEST(TextLines, ReadsEveryLineEndingAndKeepsLongLinesWhole) {
    std::string longLine(300, 'x');
    std::string text = "a\r\nb\nc\rd\r\n\r\n" + longLine;
    auto lines = splitLines(text);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], "a");
    EXPECT_EQ(lines[1], "b");
    EXPECT_EQ(lines[2], "c");
    EXPECT_EQ(lines[3], "d");
    EXPECT_EQ(lines[4], "");
    EXPECT_EQ(lines[5], longLine);
}

TEST(TextLines, AByteOrderMarkIsNotPartOfTheFirstLine) {
    auto lines = splitLines("\xEF\xBB\xBFLocation,1\r\nGroup,2\r\n");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "Location,1");
    // Only at the very start: the same bytes inside a line are its own.
    lines = splitLines(
        "a\n\xEF\xBB\xBF"
        "b");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1],
              "\xEF\xBB\xBF"
              "b");
}

TEST(TextLines, EmptyFieldsKeepTheirPlace) {
    auto f = splitFields("Location,3,1,School,,7,127.0.0.2,");
    ASSERT_EQ(f.size(), 8u);
    EXPECT_EQ(f[4], "");
    EXPECT_EQ(f[5], "7");
    EXPECT_EQ(f[7], "");
}

TEST(TextLines, NumbersReadLikeAtoi) {
    EXPECT_EQ(atoiField("  42"), 42);
    EXPECT_EQ(atoiField("-61"), -61);
    EXPECT_EQ(atoiField("+7x"), 7);
    EXPECT_EQ(atoiField("x7"), 0);
    EXPECT_EQ(atoiField(""), 0);
    EXPECT_EQ(atoiField("99999999999999999999"), 2147483647);
    EXPECT_EQ(atoiField("-99999999999999999999"), -2147483648);
}

TEST(TextLines, WriterEndsLinesInCrLf) {
    CrLfWriter w;
    w.line("Step", 1, 3, -61, 1, 0).line("Group", 1, std::string("North"), 3);
    EXPECT_EQ(w.str(), "Step,1,3,-61,1,0\r\nGroup,1,North,3\r\n");
}

// Runs clean under the sanitizers: an empty text on a writer that holds nothing yet copies
// nothing (its buffer is still null).
TEST(TextLines, WriterTakesAnEmptyTextFirst) {
    CrLfWriter w;
    w.text("").text(std::string_view()).endLine().text("").text("Commo");
    EXPECT_EQ(w.str(), "\r\nCommo");
    CrLfWriter empty;
    empty.text(std::string_view());
    EXPECT_EQ(empty.take(), "");
}

TEST(AtomicFile, ReplacesWholeFile) {
    TempFolder dir;
    std::string path = dir.file("a.csv");
    ASSERT_TRUE(writeFile(path, "old contents"));
    ASSERT_TRUE(replaceFileAtomically(path, "new"));
    EXPECT_EQ(readFile(path), "new");
}

TEST(FileSystem, AFolderOrMissingFileReadsAsNothing) {
    TempFolder dir;
    EXPECT_FALSE(readWholeFile(dir.path()).has_value());
    EXPECT_FALSE(readWholeFile(dir.file("missing")).has_value());
    ASSERT_TRUE(writeFile(dir.file("empty"), ""));
    ASSERT_TRUE(readWholeFile(dir.file("empty")).has_value());
    EXPECT_EQ(*readWholeFile(dir.file("empty")), "");
}

TEST(ProfileStore, KeepsIntegerAndTextEntriesAcrossReopen) {
    TempFolder dir;
    std::string path = dir.file("quirnradio.ini");
    {
        ProfileStore store(path);
        EXPECT_EQ(store.getInt("Commo", "IPPort", 2001), 2001);
        EXPECT_TRUE(store.writeInt("Commo", "Baud", 4800));
        EXPECT_TRUE(store.writeString("Serial", "Port1", "/dev/ttyUSB0"));
        EXPECT_TRUE(store.writeString("Clock", "Note", "a\r\nb"));
    }
    ProfileStore again(path);
    EXPECT_EQ(again.getInt("Commo", "Baud", 2400), 4800);
    EXPECT_EQ(again.getString("Serial", "Port1", ""), "/dev/ttyUSB0");
    EXPECT_EQ(again.getString("Clock", "Note", ""), "ab");
    EXPECT_EQ(again.getInt("Groups", "Sort", 1), 1);
}

// The technician maps a port by hand (or another program writes an entry) while the station
// runs: the station's next write changes only its own line of the file as it is on disk.
TEST(ProfileStore, AWriteKeepsWhatWasAddedToTheFileMeanwhile) {
    TempFolder dir;
    std::string path = dir.file("quirnradio.ini");
    ASSERT_TRUE(writeFile(path, "; station settings\r\n[Commo]\r\nIPPort=2001\r\nBaud=2400\r\n"));
    ProfileStore store(path);
    ASSERT_TRUE(writeFile(path,
                          "; station settings\r\n[Commo]\r\nIPPort=2001\r\nBaud=2400\r\n"
                          "[Serial]\r\nCOM1=/dev/pts/7\r\n"));
    EXPECT_TRUE(store.writeInt("Commo", "Baud", 4800));
    EXPECT_EQ(readFile(path),
              "; station settings\r\n[Commo]\r\nIPPort=2001\r\nBaud=4800\r\n"
              "[Serial]\r\nCOM1=/dev/pts/7\r\n");
    // What the other writer added is now seen by the station too.
    EXPECT_EQ(store.getString("Serial", "COM1", ""), "/dev/pts/7");
    EXPECT_TRUE(store.writeString("Mail", "Server", "127.0.0.1"));
    ProfileStore again(path);
    EXPECT_EQ(again.getString("Serial", "COM1", ""), "/dev/pts/7");
    EXPECT_EQ(again.getInt("Commo", "Baud", 0), 4800);
    EXPECT_EQ(again.getString("Mail", "Server", ""), "127.0.0.1");
}

// An editor may save the file with a byte-order mark (and a file handed around may carry two):
// a write keeps the file's own mark, and a first line that begins with another stays as it was.
TEST(ProfileStore, AWriteKeepsTheFilesByteOrderMarkAndTheLinesAfterIt) {
    TempFolder dir;
    std::string path = dir.file("quirnradio.ini");
    const std::string bom = "\xEF\xBB\xBF";
    ASSERT_TRUE(writeFile(path, bom + "[Commo]\r\nBaud=2400\r\n"));
    ProfileStore store(path);
    EXPECT_EQ(store.getInt("Commo", "Baud", 0), 2400);
    EXPECT_TRUE(store.writeInt("Commo", "Baud", 4800));
    EXPECT_EQ(readFile(path), bom + "[Commo]\r\nBaud=4800\r\n");

    ASSERT_TRUE(writeFile(path, bom + bom + "\r\n[Commo]\r\nBaud=2400\r\n"));
    store.reload();
    EXPECT_TRUE(store.writeInt("Commo", "Baud", 4800));
    const std::string once = readFile(path);
    EXPECT_EQ(once, bom + bom + "\r\n[Commo]\r\nBaud=4800\r\n");
    EXPECT_TRUE(store.writeInt("Commo", "Baud", 4800));
    EXPECT_EQ(readFile(path), once);
}

// A file edited by hand may name an entry twice, or its section twice; a read takes the last,
// so a write replaces that line and the next start reads what was written.
TEST(ProfileStore, AWriteToAnEntryNamedTwiceIsWhatTheNextStartReads) {
    TempFolder dir;
    std::string path = dir.file("quirnradio.ini");
    ASSERT_TRUE(writeFile(path,
                          "[Commo]\r\nBaud=2400\r\nBaud=4800\r\n[Clock]\r\nType=1\r\n"
                          "[Commo]\r\nIPPort=2001\r\nIPPort=3001\r\n"));
    ProfileStore store(path);
    EXPECT_EQ(store.getInt("Commo", "Baud", 0), 4800);
    EXPECT_EQ(store.getInt("Commo", "IPPort", 0), 3001);
    EXPECT_TRUE(store.writeInt("Commo", "Baud", 2400));
    EXPECT_TRUE(store.writeInt("Commo", "IPPort", 4001));
    EXPECT_EQ(readFile(path),
              "[Commo]\r\nBaud=2400\r\nBaud=2400\r\n[Clock]\r\nType=1\r\n"
              "[Commo]\r\nIPPort=2001\r\nIPPort=4001\r\n");
    ProfileStore again(path);
    EXPECT_EQ(again.getInt("Commo", "Baud", 0), 2400);
    EXPECT_EQ(again.getInt("Commo", "IPPort", 0), 4001);
    EXPECT_EQ(again.getInt("Clock", "Type", 0), 1);
}

TEST(Paths, WorkingFolderGiven) {
    const std::string sep = pathSeparator();
    const WorkingFolder given("/tmp/qr-root");
    EXPECT_EQ(given.path(), "/tmp/qr-root" + sep);
    EXPECT_EQ(given.file("dayplan.csv"), "/tmp/qr-root" + sep + "dayplan.csv");
    EXPECT_EQ(given.logs(), "/tmp/qr-root" + sep + "LogFiles" + sep);
    EXPECT_EQ(given.parent(), "/tmp/");
    EXPECT_EQ(withTrailingSeparator("/srv/q"), "/srv/q" + sep);
    EXPECT_EQ(withTrailingSeparator("/srv/q/"), "/srv/q/");
}

}  // namespace
}  // namespace quirn
