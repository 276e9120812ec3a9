#include <gtest/gtest.h>

#include "ops/ErrorList.h"
#include "ops/LogWriter.h"
#include "ops/TechnicianList.h"
#include "platform/FileSystem.h"
#include "platform/LocalTime.h"
#include "platform/Paths.h"
#include "tests/support/TempFolder.h"

namespace quirn {
namespace {

struct RecordingSender final : MailSender {
    int send(const OutgoingMail& mail) override {
        sent.push_back(mail);
        return result;
    }
    std::vector<OutgoingMail> sent;
    int result = 0;
};

struct NoLocations final : LocationNames {
    std::optional<std::string> locationName(int, int, int) const override { return std::nullopt; }
};

constexpr std::uint32_t kStarted = notificationBit(NotificationKind::ProgramStarted);
constexpr std::uint32_t kValidate = notificationBit(NotificationKind::ValidateFailure);

class TechnicianListTest : public ::testing::Test {
  protected:
    TechnicianListTest()
        : clock(fromLocal(2026, 12, 7, 7, 30, 0)), technicians(clock, working, sender, names) {
        technicians.setMailAccount("mail.test", "station@example.org");
    }
    std::vector<std::string> recipients() const {
        std::vector<std::string> to;
        for (const auto& m : sender.sent) to.push_back(m.toAddress);
        return to;
    }
    std::string mailFile() { return test::readFile(folder.file(TechnicianList::kFileName)); }

    test::TempFolder folder;
    const WorkingFolder working = folder.workingFolder();
    const LogWriter logWriter{working};
    ManualClock clock;
    RecordingSender sender;
    NoLocations names;
    TechnicianList technicians;
};

TEST_F(TechnicianListTest, OnlyTechniciansOnDutyWithTheKindAreMailed) {
    technicians.add({"Ann", "ann@example.org", kValidate, true});
    technicians.add({"Off", "off@example.org", kValidate | kStarted, false});
    technicians.add({"Start", "start@example.org", kStarted, true});
    technicians.add({"Bob", "bob@example.org", kValidate | kStarted, true});

    ErrorList errors(clock, working, technicians);
    errors.addError(std::make_unique<ErrorValidateLocation>(clock.now(), 1, 2, 3, "failed"));
    EXPECT_EQ(recipients(), (std::vector<std::string>{"ann@example.org", "bob@example.org"}));
    for (const auto& m : sender.sent) EXPECT_EQ(m.body, "at 07:30 Monday, December 07, 2026.");

    // A failure the list already knows mails nobody.
    errors.addError(std::make_unique<ErrorValidateLocation>(clock.now(), 1, 2, 3, "again"));
    EXPECT_EQ(sender.sent.size(), 2u);

    sender.sent.clear();
    technicians.notifyStarted();
    EXPECT_EQ(recipients(), (std::vector<std::string>{"start@example.org", "bob@example.org"}));
    EXPECT_EQ(sender.sent[0].body, "Quirn Radio Started at, Monday, December 07, 2026, 07:30");
}

TEST_F(TechnicianListTest, OneMessageCarriesAccountRecipientAndSubject) {
    MailUser ann{"Ann Lee", "ann@example.org", kStarted, true};
    EXPECT_EQ(technicians.sendTo(ann, "hello"), 0);
    sender.result = 1;
    EXPECT_EQ(technicians.sendTo(ann, "again"), 1);
    ASSERT_EQ(sender.sent.size(), 2u);
    const OutgoingMail& m = sender.sent[0];
    EXPECT_EQ(m.server, "mail.test");
    EXPECT_EQ(m.from, "station@example.org");
    EXPECT_EQ(m.toAddress, "ann@example.org");
    EXPECT_EQ(m.toName, "Ann Lee");
    EXPECT_EQ(m.subject, "Message from Quirn Radio");
    EXPECT_EQ(m.body, "hello");
}

struct MailLineCase {
    const char* line;
    bool parses;
    const char* name;
    const char* address;
    std::uint32_t kinds;
    bool onDuty;
};

TEST(MailUserLine, ParsesOnlyCompleteLines) {
    const MailLineCase cases[] = {
        {"MailUser,Ann,ann@example.org,16,1", true, "Ann", "ann@example.org", 16, true},
        {"MailUser,Bob,bob@example.org,31,0", true, "Bob", "bob@example.org", 31, false},
        {"MailUser,Cy,cy@example.org,-1,1", true, "Cy", "cy@example.org", 0xFFFFFFFFu, true},
        {"MailUser,Di,di@example.org,3,1,extra", true, "Di", "di@example.org", 3, true},
        {"MailUser,Ann,ann@example.org,16", false, "", "", 0, false},
        {"MailUser,Ann,ann@example.org,16,", false, "", "", 0, false},
        {"MailUser,,ann@example.org,16,1", false, "", "", 0, false},
        {"MailUser,Ann,ann@example.org,lots,1", false, "", "", 0, false},
        {"MailUser,Ann,ann@example.org,99999999999,1", false, "", "", 0, false},
        {"Mailuser,Ann,ann@example.org,16,1", false, "", "", 0, false},
        {"", false, "", "", 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        auto user = MailUser::parse(c.line);
        ASSERT_EQ(user.has_value(), c.parses);
        if (!user) continue;
        EXPECT_EQ(user->name, c.name);
        EXPECT_EQ(user->address, c.address);
        EXPECT_EQ(user->kinds, c.kinds);
        EXPECT_EQ(user->onDuty, c.onDuty);
    }
}

TEST(MailUserLine, LinesAreCutAt199Characters) {
    const std::string head = "MailUser," + std::string(170, 'n') + ",a@example.org,";
    // The on-duty value as the 199th character survives; as the 200th it is cut off.
    const std::string fits = head + "001,1";
    const std::string cut = head + "0001,1";
    ASSERT_EQ(fits.size(), 199u);
    ASSERT_EQ(cut.size(), 200u);
    auto user = MailUser::parse(fits);
    ASSERT_TRUE(user.has_value());
    EXPECT_EQ(user->kinds, 1u);
    EXPECT_TRUE(user->onDuty);
    EXPECT_FALSE(MailUser::parse(cut).has_value());
}

TEST(MailUserLine, AMaskReadSignedIsWrittenUnsigned) {
    auto user = MailUser::parse("MailUser,Cy,cy@example.org,-1,1");
    ASSERT_TRUE(user.has_value());
    CrLfWriter out;
    user->writeCsv(out);
    EXPECT_EQ(out.str(), "MailUser,Cy,cy@example.org,4294967295,1\r\n");
}

TEST(MailUserLine, ALongLineWithASignedMaskStillReadsBackAfterASave) {
    // 198 characters as read; the unsigned spelling of the mask would make the saved line 206,
    // and a read would cut the on-duty value off it.
    const std::string line = "MailUser," + std::string(180, 'n') + ",a@b,-1,1";
    ASSERT_EQ(line.size(), 198u);
    auto user = MailUser::parse(line);
    ASSERT_TRUE(user.has_value());
    CrLfWriter out;
    user->writeCsv(out);
    const std::string saved(out.str());
    EXPECT_EQ(saved, line + "\r\n");
    auto reread = MailUser::parse(saved.substr(0, saved.size() - 2));
    ASSERT_TRUE(reread.has_value());
    EXPECT_EQ(reread->name, user->name);
    EXPECT_EQ(reread->address, "a@b");
    EXPECT_EQ(reread->kinds, 0xFFFFFFFFu);
    EXPECT_TRUE(reread->onDuty);
}

TEST(MailUserLine, ALongLineKeepsTheShorterSpellingOfTheTopBit) {
    // 2147483648 is ten digits, -2147483648 eleven: the saved line is never longer than read.
    const std::string line = "MailUser," + std::string(175, 'n') + ",a," + "2147483648,1";
    ASSERT_EQ(line.size(), 199u);
    auto user = MailUser::parse(line);
    ASSERT_TRUE(user.has_value());
    CrLfWriter out;
    user->writeCsv(out);
    EXPECT_EQ(out.str(), line + "\r\n");
}

TEST_F(TechnicianListTest, FileRoundTripKeepsEveryKindBit) {
    technicians.add({"Ann", "ann@example.org", 31, true});
    technicians.add({"Bob", "bob@example.org", 4, false});
    ASSERT_TRUE(technicians.save());
    EXPECT_EQ(mailFile(),
              "MailUser,Ann,ann@example.org,31,1\r\nMailUser,Bob,bob@example.org,4,0\r\n");

    TechnicianList reloaded(clock, working, sender, names);
    reloaded.load();
    ASSERT_EQ(reloaded.users().size(), 2u);
    EXPECT_EQ(reloaded.users()[0].kinds, 31u);
    EXPECT_TRUE(reloaded.users()[0].onDuty);
    EXPECT_EQ(reloaded.users()[1].address, "bob@example.org");
    EXPECT_FALSE(reloaded.users()[1].onDuty);
}

TEST_F(TechnicianListTest, LoadSkipsBadLinesAndCreatesAMissingFile) {
    technicians.load();
    EXPECT_TRUE(technicians.users().empty());
    EXPECT_TRUE(fileExists(folder.file(TechnicianList::kFileName)));

    ASSERT_TRUE(test::writeFile(folder.file(TechnicianList::kFileName),
                                "MailUser,Ann,ann@example.org,16\r\n"
                                "MailUser,Bob,bob@example.org,16,1\n"
                                "junk\r"
                                "MailUser,Cy,cy@example.org,1,0"));
    technicians.load();
    ASSERT_EQ(technicians.users().size(), 2u);
    EXPECT_EQ(technicians.users()[0].name, "Bob");
    EXPECT_EQ(technicians.users()[1].name, "Cy");
}

TEST_F(TechnicianListTest, CommasAndLineBreaksCannotBreakTheFile) {
    technicians.add({"Lee, Ann", "ann@example.org\r\n", 16, true});
    ASSERT_TRUE(technicians.save());
    EXPECT_EQ(mailFile(), "MailUser,Lee Ann,ann@example.org,16,1\r\n");
}

TEST_F(TechnicianListTest, LinesTheStationCannotReadSurviveASaveAsWritten) {
    // Ten lines a technician or another program wrote; the station reads four of them.
    const std::string longLine =
        "MailUser," + std::string(190, 'n') + ",fay@example.org,16,1";  // on-duty cut off
    const std::vector<std::string> lines = {
        "# technicians on call, edit with care",
        "MailUser,Ann Lee,ann@example.org,16,1",
        "MailUser,Bob,bob@example.org,16",
        "MailUser,Cy,cy@example.org,0x10,1",
        "mailuser,Dee,dee@example.org,16,1",
        "MailUser,\"Lee, Eve\",eve@example.org,16,1",
        longLine,
        "MailUser,Gus,gus@example.org,-1,1",
        "MailUser,Hal,hal@example.org,17,0",
        "MailUser,Ida,ida@example.org,1,1",
    };
    std::string file;
    for (const std::string& line : lines) file += line + "\n";
    makeFolder(folder.logs());
    ASSERT_TRUE(test::writeFile(folder.file(TechnicianList::kFileName), file));

    technicians.load();
    ASSERT_EQ(technicians.users().size(), 4u);
    EXPECT_EQ(technicians.users()[0].name, "Ann Lee");
    EXPECT_EQ(technicians.users()[3].name, "Ida");
    ASSERT_TRUE(technicians.save());

    // Every line keeps its place; the kept ones are byte for byte as read, the read ones are
    // written as always (the signed mask unsigned), every line ended by CR LF.
    std::string expected;
    for (const std::string& line : lines)
        expected += (line == "MailUser,Gus,gus@example.org,-1,1"
                         ? std::string("MailUser,Gus,gus@example.org,4294967295,1")
                         : line) +
                    "\r\n";
    EXPECT_EQ(mailFile(), expected);

    // Said once, with the count, in the System log.
    const std::string system = test::readFile(logWriter.logFileName(clock, kLogSystem));
    EXPECT_EQ(system,
              "07:30.00,mail.csv: 6 lines are not a technician the station can read; not mailed, "
              "kept as written.\r\n");

    // A second start reads the same four and keeps the same six.
    TechnicianList again(clock, working, sender, names);
    again.load();
    EXPECT_EQ(again.users().size(), 4u);
    ASSERT_TRUE(again.save());
    EXPECT_EQ(mailFile(), expected);
}

TEST_F(TechnicianListTest, ATechnicianAddedAfterKeptLinesComesAfterThem) {
    ASSERT_TRUE(test::writeFile(folder.file(TechnicianList::kFileName),
                                "MailUser,Ann,ann@example.org,16,1\r\n\n; rota: week 50\r\n"));
    technicians.load();
    technicians.add({"Bob", "bob@example.org", 16, true});
    ASSERT_TRUE(technicians.save());
    EXPECT_EQ(mailFile(),
              "MailUser,Ann,ann@example.org,16,1\r\n\r\n; rota: week 50\r\n"
              "MailUser,Bob,bob@example.org,16,1\r\n");
    EXPECT_EQ(technicians.keptLineCount(), 1u);
}

}  // namespace
}  // namespace quirn
