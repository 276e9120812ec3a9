#include <gtest/gtest.h>

#include "fleetsend/SendLedger.h"
#include "platform/FileSystem.h"
#include "tests/support/TempFolder.h"

namespace quirn::test {
namespace {

TEST(SendLedger, KeepsSendsAndMarksAcrossALoadAndSkipsLinesItCannotRead) {
    TempFolder folder;
    const std::string path = folder.file("sent.csv");
    SendLedger ledger;
    ASSERT_TRUE(ledger.load(path));  // missing: empty
    EXPECT_TRUE(ledger.isChanged({1, 1, 1}));
    ledger.recordSent({1, 1, 1}, 1765000000, 120);
    ledger.recordSent({1, 1, 2}, 1765000001, 121);
    ledger.recordSent({1, 2, 1}, 1765000002, 968);
    EXPECT_FALSE(ledger.isChanged({1, 1, 1}));
    ledger.markGroupChanged(1, 1);
    EXPECT_TRUE(ledger.isChanged({1, 1, 2}));
    EXPECT_FALSE(ledger.isChanged({1, 2, 1}));
    ASSERT_TRUE(ledger.save());
    EXPECT_FALSE(ledger.dirty());

    std::string text = *readWholeFile(path);
    text += "1,3,x,0,0,0\r\n2,1,1,5,5,7\r\n\r\n";
    writeFile(path, text);
    SendLedger again;
    ASSERT_TRUE(again.load(path));
    EXPECT_EQ(again.skippedLines(), 2u);
    EXPECT_EQ(again.size(), 3u);
    EXPECT_TRUE(again.isChanged({1, 1, 1}));
    EXPECT_TRUE(again.isChanged({1, 1, 2}));
    ASSERT_NE(again.find({1, 2, 1}), nullptr);
    EXPECT_FALSE(again.find({1, 2, 1})->changed);
    EXPECT_EQ(again.find({1, 2, 1})->bytes, 968u);
    EXPECT_EQ(again.find({1, 2, 1})->sentAt, 1765000002);
    again.markAllChanged();
    EXPECT_TRUE(again.isChanged({1, 2, 1}));
    EXPECT_TRUE(again.dirty());
}

TEST(SendLedger, AFileThatCannotBeReadIsSaidSoAndNotTakenAsEmpty) {
    TempFolder folder;
    const std::string path = folder.file("sent.csv");
    ASSERT_TRUE(makeFolder(path));  // a folder where the file should be
    SendLedger ledger;
    EXPECT_FALSE(ledger.load(path));
    ledger.recordSent({1, 1, 1}, 1, 1);
    EXPECT_FALSE(ledger.save());
    EXPECT_TRUE(ledger.dirty());
}

}  // namespace
}  // namespace quirn::test
