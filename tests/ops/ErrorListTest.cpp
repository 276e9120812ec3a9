#include <gtest/gtest.h>

#include "ops/ErrorList.h"
#include "ops/LocationNames.h"
#include "ops/LogWriter.h"
#include "plans/Location.h"
#include "platform/FileSystem.h"
#include "platform/LocalTime.h"
#include "platform/Paths.h"
#include "platform/TextLines.h"
#include "tests/support/TempFolder.h"

namespace quirn {
namespace {

struct RecordingListener final : ValidateFailureListener {
    void notifyValidateFailure(const ErrorRecord& record) override {
        notified.push_back({record.masterGroup, record.group, record.location});
    }
    std::vector<std::array<int, 3>> notified;
};

class ErrorListTest : public ::testing::Test {
  protected:
    ErrorListTest() : clock(fromLocal(2026, 12, 7, 8, 15, 0)), errors(clock, working, listener) {
        makeFolder(folder.logs());
    }
    std::vector<std::string> errorLogLines() {
        const std::string text = test::readFile(logWriter.logFileName(clock, kLogError));
        std::vector<std::string> lines;
        for (auto line : splitLines(text))
            if (!line.empty()) lines.emplace_back(line);
        return lines;
    }
    std::string errorsFile() { return test::readFile(folder.file(ErrorList::kFileName)); }
    void writeErrorsFile(const std::string& text) {
        ASSERT_TRUE(test::writeFile(folder.file(ErrorList::kFileName), text));
    }

    test::TempFolder folder;
    const WorkingFolder working = folder.workingFolder();
    const LogWriter logWriter{working};
    ManualClock clock;
    RecordingListener listener;
    ErrorList errors;
};

TEST_F(ErrorListTest, SameAddressFailingTwiceGivesOneRecordAndOneLogLine) {
    errors.recordIpConnectFailure("127.0.4.20");
    clock.advance(60);
    errors.recordIpConnectFailure("127.0.4.20");
    errors.recordIpConnectFailure("127.0.4.21");
    EXPECT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors.countOfKind(ErrorKind::IPConnect), 2u);
    EXPECT_EQ(errors.at(0)->text, "127.0.4.21");  // newest first
    EXPECT_EQ(errors.at(1)->time, fromLocal(2026, 12, 7, 8, 15, 0));
    EXPECT_EQ(errorLogLines(),
              (std::vector<std::string>{"08:15.00,IP address 127.0.4.20 Connection not made.",
                                        "08:16.00,IP address 127.0.4.21 Connection not made."}));
    EXPECT_TRUE(listener.notified.empty());
}

TEST_F(ErrorListTest, AnAddressThatAnswersAgainLosesItsRecord) {
    errors.recordIpConnectFailure("127.0.4.20");
    errors.recordIpConnectFailure("127.0.4.21");
    errors.recordIpAnswered("127.0.4.20");
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors.at(0)->text, "127.0.4.21");
    errors.clearKindMatching(ErrorKind::ExtraLocation, "127.0.4.21");  // other kind: kept
    EXPECT_EQ(errors.size(), 1u);
    // Once gone, a new failure of the address is new again and logged again.
    errors.recordIpConnectFailure("127.0.4.20");
    EXPECT_EQ(errors.size(), 2u);
    EXPECT_EQ(errorLogLines().size(), 3u);
}

TEST_F(ErrorListTest, ALocationReadAgainLosesAllItsRecords) {
    errors.addError(std::make_unique<ErrorValidateLocation>(clock.now(), 1, 2, 3, "failed"));
    errors.addError(std::make_unique<ErrorPWConfirm>(clock.now(), 1, 2, 3));
    errors.addError(std::make_unique<ErrorExtraLocation>(clock.now(), "127.0.4.9", 1, 2, 3));
    errors.addError(std::make_unique<ErrorPWConfirm>(clock.now(), 1, 2, 4));
    errors.recordIpConnectFailure("127.0.4.20");
    ASSERT_EQ(errors.size(), 5u);
    errors.clearLocation(1, 2, 3);
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_TRUE(errors.at(0)->isKind(ErrorKind::IPConnect));
    EXPECT_TRUE(errors.at(1)->isAt(1, 2, 4));
    EXPECT_EQ(errors.at(2), nullptr);
    errors.clearLocation(Location(1, 2, 4));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_TRUE(errors.at(0)->isKind(ErrorKind::IPConnect));
}

TEST_F(ErrorListTest, PasswayConfirmationFlagAddsAndAClearReadBackRemoves) {
    errors.recordPasswayConfirmation(1, 5, 6, true);
    errors.recordPasswayConfirmation(1, 5, 6, true);
    errors.addError(std::make_unique<ErrorValidateLocation>(clock.now(), 1, 5, 6, "failed"));
    EXPECT_EQ(errors.countOfKind(ErrorKind::PWConfirm), 1u);
    errors.recordPasswayConfirmation(1, 5, 6, false);
    EXPECT_EQ(errors.countOfKind(ErrorKind::PWConfirm), 0u);
    EXPECT_EQ(errors.countOfKind(ErrorKind::ValidateLocation), 1u);
}

TEST_F(ErrorListTest, OnlyANewValidateRecordIsAnnounced) {
    errors.addError(std::make_unique<ErrorValidateLocation>(clock.now(), 1, 2, 3, "first"));
    EXPECT_FALSE(
        errors.addError(std::make_unique<ErrorValidateLocation>(clock.now(), 1, 2, 3, "second")));
    errors.addError(std::make_unique<ErrorValidateLocation>(clock.now(), 2, 2, 3, "other mg"));
    EXPECT_EQ(listener.notified, (std::vector<std::array<int, 3>>{{1, 2, 3}, {2, 2, 3}}));
    EXPECT_EQ(errors.at(1)->text, "first");
    EXPECT_FALSE(errors.addError(nullptr));
}

TEST_F(ErrorListTest, SaveWritesEveryKindNewestFirst) {
    const std::time_t t = 1796000000;
    errors.addError(std::make_unique<ErrorValidateLocation>(
        t, 1, 2, 3, "North, Elm Connection Made, Validate Failed."));
    errors.addError(std::make_unique<ErrorIPConnect>(t + 1, "127.0.4.20"));
    errors.addError(std::make_unique<ErrorExtraLocation>(t + 2, "127.0.4.9", 4, 5, 6));
    errors.addError(std::make_unique<ErrorPWConfirm>(t + 3, 7, 8, 9));
    ASSERT_TRUE(errors.save());
    EXPECT_EQ(errorsFile(),
              "ErrorPWConfirm,1796000003,7,8,9\r\n"
              "ErrorExtraLocation,1796000002,127.0.4.9,4,5,6\r\n"
              "ErrorIPConnect,1796000001,127.0.4.20\r\n"
              "ErrorValidateLocation,1796000000,1,2,3, North, Elm Connection Made, Validate "
              "Failed.\r\n");
}

TEST_F(ErrorListTest, RestartKeepsCarriedKindsAndDropsPasswayRecords) {
    errors.addError(std::make_unique<ErrorValidateLocation>(100, 1, 2, 3, "A, B Failed, x."));
    errors.addError(std::make_unique<ErrorIPConnect>(200, "127.0.4.20"));
    errors.addError(std::make_unique<ErrorExtraLocation>(300, "127.0.4.9", 4, 5, 6));
    errors.addError(std::make_unique<ErrorPWConfirm>(400, 7, 8, 9));
    ASSERT_TRUE(errors.save());

    RecordingListener afterRestart;
    ErrorList reloaded(clock, working, afterRestart);
    reloaded.load();
    ASSERT_EQ(reloaded.size(), 3u);
    EXPECT_EQ(reloaded.countOfKind(ErrorKind::PWConfirm), 0u);
    // The list stays newest first across the restart, so the file does not flip its order at
    // each start (it did: lines were added in file order, each at the head).
    const ErrorRecord* extra = reloaded.at(0);
    ASSERT_TRUE(extra->isKind(ErrorKind::ExtraLocation));
    EXPECT_EQ(extra->time, 300);
    EXPECT_EQ(extra->text, "127.0.4.9");
    EXPECT_TRUE(extra->isAt(4, 5, 6));
    const ErrorRecord* ip = reloaded.at(1);
    ASSERT_TRUE(ip->isKind(ErrorKind::IPConnect));
    EXPECT_EQ(ip->text, "127.0.4.20");
    const ErrorRecord* validate = reloaded.at(2);
    ASSERT_TRUE(validate->isKind(ErrorKind::ValidateLocation));
    EXPECT_EQ(validate->time, 100);
    EXPECT_TRUE(validate->isAt(1, 2, 3));
    EXPECT_EQ(validate->text, "A, B Failed, x.");
    const std::string saved = errorsFile();
    ASSERT_TRUE(reloaded.save());
    EXPECT_EQ(errorsFile(), saved.substr(saved.find('\n') + 1)) << "only the Passway line goes";
    // The validation failure is mailed again at every start.
    EXPECT_EQ(afterRestart.notified.size(), 1u);
}

TEST_F(ErrorListTest, TwoValidateLinesForOneLocationGiveOneRecordAndOneMail) {
    writeErrorsFile(
        "ErrorValidateLocation,500,1,2,3, newer\r\nErrorValidateLocation,400,1,2,3, older\r\n");
    errors.load();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors.at(0)->text, "newer");
    EXPECT_EQ(listener.notified.size(), 1u);
}

TEST_F(ErrorListTest, MalformedLinesAreSkipped) {
    writeErrorsFile(
        "ErrorIPConnect,abc,127.0.4.1\n"
        "ErrorIPConnect,10\n"
        "ErrorIPConnect,10,\n"
        "ErrorIPConnect,10,127.0.4.1,extra\n"
        "ErrorExtraLocation,10,127.0.4.1,1,2\n"
        "ErrorExtraLocation,10,,1,2,3\n"
        "ErrorExtraLocation,10,127.0.4.1,1,x,3\n"
        "ErrorValidateLocation,10,1,2\n"
        "ErrorValidateLocation,10,1,2,3x, text\n"
        "ErrorValidateLocation,99999999999,1,2,3, text\n"
        "ErrorPWConfirm,10,1,2,3\n"
        "Something,else\n"
        ",,,\n"
        "\n"
        "ErrorIPConnect,20,127.0.4.2\r"
        "ErrorValidateLocation,-5,1,2,3,\n");
    errors.load();
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors.at(0)->text, "127.0.4.2");
    EXPECT_EQ(errors.at(1)->time, -5);
    EXPECT_EQ(errors.at(1)->text, "");
}

TEST_F(ErrorListTest, MissingFileIsCreatedEmptyAndLoadEmptiesTheList) {
    errors.recordIpConnectFailure("127.0.4.20");
    errors.load();
    EXPECT_EQ(errors.size(), 0u);
    EXPECT_TRUE(fileExists(folder.file(ErrorList::kFileName)));
    EXPECT_EQ(errorsFile(), "");
}

TEST_F(ErrorListTest, LineBreaksInATextCannotSplitItsLine) {
    errors.addError(std::make_unique<ErrorValidateLocation>(1, 1, 2, 3, "two\r\nlines"));
    ASSERT_TRUE(errors.save());
    EXPECT_EQ(errorsFile(), "ErrorValidateLocation,1,1,2,3, two  lines\r\n");
}

class OneLocation final : public LocationNames {
  public:
    std::optional<std::string> locationName(int mg, int g, int l) const override {
        if (mg == 1 && g == 2 && l == 3) return std::string("Elm School");
        return std::nullopt;
    }
};

TEST(ErrorMailText, NamesTheLocationWhileItExists) {
    const std::time_t t = fromLocal(2026, 12, 7, 14, 5, 0);
    OneLocation names;
    EXPECT_EQ(ErrorValidateLocation(t, 1, 2, 3, "x").mailText(names),
              "Quirn Reports Elm School,3 Validate Failed at 14:05 Monday, December 07, 2026.");
    EXPECT_EQ(ErrorValidateLocation(t, 1, 2, 4, "x").mailText(names),
              "at 14:05 Monday, December 07, 2026.");
    EXPECT_EQ(ErrorIPConnect(t, "127.0.4.1").mailText(names), "No Error Email String Assigned");
    EXPECT_EQ(ErrorPWConfirm(t, 1, 2, 3).mailText(names), "No Error Email String Assigned");
}

}  // namespace
}  // namespace quirn
