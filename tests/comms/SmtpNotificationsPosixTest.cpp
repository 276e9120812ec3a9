// Technician notifications through the SMTP mail sender to a real SMTP server on the loopback
// interface (POSIX: the server is started as a child process).
#include <gtest/gtest.h>

#include "comms/SmtpMailSender.h"
#include "ops/ErrorKinds.h"
#include "ops/ErrorList.h"
#include "ops/LogWriter.h"
#include "ops/TechnicianList.h"
#include "platform/FileSystem.h"
#include "platform/LocalTime.h"
#include "platform/Paths.h"
#include "platform/TextLines.h"
#include "tests/support/SmtpServerFixture.h"
#include "tests/support/TempFolder.h"

namespace quirn {
namespace {

using test::SmtpServerFixture;

constexpr const char* kLoopback = "127.0.0.1";
constexpr int kTestTimeoutMs = 2000;

class FixedNames final : public LocationNames {
  public:
    std::optional<std::string> locationName(int mg, int g, int l) const override {
        if (mg == 1 && g == 4 && l == 7) return "Elm School";
        return std::nullopt;
    }
};

class SmtpNotifications : public ::testing::Test {
  protected:
    SmtpNotifications()
        : clock(fromLocal(2026, 12, 7, 14, 5, 0)),
          sender(clock, logWriter),
          technicians(clock, working, sender, names) {
        makeFolder(folder.logs());
        sender.setTimeoutMs(kTestTimeoutMs);
    }
    std::vector<std::string> emailLogLines() {
        std::vector<std::string> lines;
        const std::string text = test::readFile(logWriter.logFileName(clock, kLogEMail));
        for (auto line : splitLines(text))
            if (!line.empty()) lines.emplace_back(line);
        return lines;
    }

    test::TempFolder folder;
    const WorkingFolder working = folder.workingFolder();
    const LogWriter logWriter{working};
    ManualClock clock;
    FixedNames names;
    SmtpMailSender sender;
    TechnicianList technicians;
};

TEST_F(SmtpNotifications, ValidateFailureMailsEachTechnicianOnDutyInListOrder) {
    SmtpServerFixture server;
    ASSERT_TRUE(server.ok()) << server.error();
    sender.setPort(server.port());
    technicians.setMailAccount(kLoopback, "station@example.org");
    technicians.add({"Ann", "ann@example.org", 16, true});
    technicians.add({"Off", "off@example.org", 31, false});
    technicians.add({"Bob", "bob@example.org", 17, true});
    ErrorList errors(clock, working, technicians);

    errors.addError(std::make_unique<ErrorValidateLocation>(clock.now(), 1, 4, 7, "failed"));
    errors.addError(std::make_unique<ErrorValidateLocation>(clock.now(), 1, 4, 7, "again"));

    ASSERT_TRUE(server.waitForMessages(2));
    EXPECT_FALSE(server.waitForMessages(3, 100));
    const char* expectedTo[] = {"ann@example.org", "bob@example.org"};
    for (std::size_t i = 0; i < 2; ++i) {
        auto got = server.message(i);
        ASSERT_TRUE(got.has_value());
        EXPECT_EQ(got->recipients, std::vector<std::string>{expectedTo[i]});
        EXPECT_NE(got->data.find("Subject: Message from Quirn Radio\r\n"), std::string::npos);
        EXPECT_NE(got->data.find("\r\n\r\nQuirn Reports Elm School,7 Validate Failed at 14:05 "
                                 "Monday, December 07, 2026.\r\n"),
                  std::string::npos)
            << got->data;
    }
    EXPECT_EQ(emailLogLines(), (std::vector<std::string>{"14:05.00,To: ann@example.org, Ann",
                                                         "14:05.00,To: bob@example.org, Bob"}));
}

TEST_F(SmtpNotifications, FailedMailIsLoggedAsFailed) {
    SmtpServerFixture::Options options;
    options.mode = "greeting";
    SmtpServerFixture server(options);
    ASSERT_TRUE(server.ok()) << server.error();
    sender.setPort(server.port());
    technicians.setMailAccount(kLoopback, "station@example.org");
    MailUser ann{"Ann", "ann@example.org", 1, true};
    EXPECT_EQ(technicians.sendTo(ann, "text"), 1);
    EXPECT_EQ(sender.lastError(), "Server didn't respond.");
    EXPECT_EQ(
        emailLogLines(),
        std::vector<std::string>{
            "14:05.00,To: ann@example.org, FAILED Ann: 554 Service not available (greeting)"});
}

TEST_F(SmtpNotifications, StartNotificationCarriesTheDatedText) {
    SmtpServerFixture server;
    ASSERT_TRUE(server.ok()) << server.error();
    sender.setPort(server.port());
    technicians.setMailAccount(kLoopback, "station@example.org");
    technicians.add({"Ann", "ann@example.org", 1, true});
    technicians.add({"Val", "val@example.org", 16, true});
    technicians.notifyStarted();
    ASSERT_TRUE(server.waitForMessages(1));
    EXPECT_FALSE(server.waitForMessages(2, 100));
    auto got = server.message(0);
    ASSERT_TRUE(got.has_value());
    EXPECT_EQ(got->recipients, std::vector<std::string>{"ann@example.org"});
    EXPECT_NE(got->data.find("To: Ann<ann@example.org>\r\n"), std::string::npos);
    EXPECT_NE(
        got->data.find("\r\n\r\nQuirn Radio Started at, Monday, December 07, 2026, 14:05\r\n"),
        std::string::npos)
        << got->data;
}

}  // namespace
}  // namespace quirn
