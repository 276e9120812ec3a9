// What a mail program makes of the station's mail: each mail goes through the SMTP mail sender
// to a real SMTP server on the loopback interface, which hands what it received to Python's
// email package (POSIX: the server is started as a child process).
#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <vector>

#include "comms/SmtpMailSender.h"
#include "ops/LogWriter.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/TextLines.h"
#include "tests/support/SmtpServerFixture.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TimeZoneSwitch.h"

namespace quirn {
namespace {

using test::SmtpServerFixture;

constexpr const char* kLoopback = "127.0.0.1";
constexpr int kTestTimeoutMs = 2000;
// 2026-12-09 13:43:02 and 2026-07-15 12:00:00 UTC.
constexpr std::time_t kWinterInstant = 1796823782;
constexpr std::time_t kSummerInstant = 1784116800;

class MailHeaders : public ::testing::Test {
  protected:
    MailHeaders() {
        makeFolder(folder.logs());
        sender.setTimeoutMs(kTestTimeoutMs);
    }
    void SetUp() override {
        ASSERT_TRUE(server.ok()) << server.error();
        sender.setPort(server.port());
    }
    OutgoingMail mailTo(const std::string& name, const std::string& address,
                        const std::string& body = "Elm School Validate Failed") {
        OutgoingMail mail;
        mail.server = kLoopback;
        mail.from = "station@example.org";
        mail.toAddress = address;
        mail.toName = name;
        mail.subject = "Message from Quirn Radio";
        mail.body = body;
        mail.composedAt = clock.now();
        return mail;
    }
    // Sends one mail and gives back what the server received.
    SmtpServerFixture::Received sendAndReceive(const OutgoingMail& mail) {
        const std::size_t before = server.messageCount();
        EXPECT_EQ(sender.send(mail), 0) << sender.lastError();
        EXPECT_TRUE(server.waitForMessages(before + 1));
        return server.message(before).value_or(SmtpServerFixture::Received{});
    }
    static std::string headerLine(const std::string& data, const std::string& name) {
        const std::string head = data.substr(0, data.find("\r\n\r\n"));
        for (auto line : splitLines(head))
            if (line.rfind(name + ": ", 0) == 0) return std::string(line);
        return {};
    }
    static std::string withoutLineEnd(std::string text) {
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        return text;
    }

    test::TempFolder folder;
    const WorkingFolder working = folder.workingFolder();
    const LogWriter logWriter{working};
    ManualClock clock{kWinterInstant};
    SmtpMailSender sender{clock, logWriter};
    SmtpServerFixture server;
};

struct ZoneCase {
    const char* posixZone;
    const char* windowsZone;
    std::time_t instant;
    const char* dateHeader;
    const char* offsetMinutes;
};

TEST_F(MailHeaders, DateHasANumericOffsetAndFourDigitYearInEachZone) {
    const ZoneCase cases[] = {
        {"Europe/Berlin", "CET-1CEST", kWinterInstant, "Wed, 09 Dec 2026 14:43:02 +0100", "60"},
        {"Europe/Berlin", "CET-1CEST", kSummerInstant, "Wed, 15 Jul 2026 14:00:00 +0200", "120"},
        {"Asia/Kolkata", "IST-5:30", kWinterInstant, "Wed, 09 Dec 2026 19:13:02 +0530", "330"},
        {"America/New_York", "EST5EDT", kWinterInstant, "Wed, 09 Dec 2026 08:43:02 -0500", "-300"},
        {"America/New_York", "EST5EDT", kSummerInstant, "Wed, 15 Jul 2026 08:00:00 -0400", "-240"},
        {"America/St_Johns", "NST3:30NDT", kWinterInstant, "Wed, 09 Dec 2026 10:13:02 -0330",
         "-210"},
    };
    for (const ZoneCase& c : cases) {
        SCOPED_TRACE(std::string(c.posixZone) + " " + c.dateHeader);
        test::TimeZoneSwitch zone(c.posixZone, c.windowsZone);
        clock.set(c.instant);
        const auto got = sendAndReceive(mailTo("Ann", "ann@example.org"));
        EXPECT_EQ(headerLine(got.data, "Date"), std::string("Date: ") + c.dateHeader);
        // A mail program reads the same instant and the same offset.
        char utc[32];
        std::tm tm{};
        gmtime_r(&c.instant, &tm);
        std::strftime(utc, sizeof utc, "%Y-%m-%dT%H:%M:%S", &tm);
        EXPECT_EQ(got.parsedValue("date"), std::optional<std::string>(utc)) << got.data;
        EXPECT_EQ(got.parsedValue("date-offset"), std::optional<std::string>(c.offsetMinutes));
        EXPECT_TRUE(got.parsedValues("defects").empty()) << got.data;
    }
}

TEST_F(MailHeaders, DisplayNamesArriveAsTheTechnicianWroteThem) {
    const std::vector<std::string> names = {
        "Ann Lee",
        "Lee, Ann",
        "O'Brien (nights)",
        "Dr. J. \"Doc\" Smith \\ Field",
        "J\xC3\xBCrgen M\xC3\xBCller",
        // Long enough for several encoded words; none may cut a character in two.
        "Zo\xC3\xAB \xC3\x87"
        "elik-\xC3\x98ster, \xE6\x9D\xB1\xE4\xBA\xAC Field Team "
        "\xE2\x80\x94 North Campus \xC3\xA9quipe de nuit",
    };
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        const auto got = sendAndReceive(mailTo(name, "tech@example.org"));
        EXPECT_EQ(got.parsedValues("to-name"), std::vector<std::string>{name}) << got.data;
        EXPECT_EQ(got.parsedValues("to-address"), std::vector<std::string>{"tech@example.org"});
        EXPECT_TRUE(got.parsedValues("defects").empty()) << got.data;
        for (unsigned char c : got.data) EXPECT_LT(c, 0x80) << "the header is 7-bit ASCII";
    }
}

TEST_F(MailHeaders, EachMailHasItsOwnMessageIdAndDeclaresUtf8PlainText) {
    // Accents, a line that begins with a dot and one longer than a mail line may be.
    const std::string body = "Caf\xC3\xA9 \xC3\x89lan: Validate Failed\r\n.hidden dot\r\n" +
                             std::string(1200, 'x') + " end";
    const auto first = sendAndReceive(mailTo("Ann", "ann@example.org", body));
    const auto second = sendAndReceive(mailTo("Ann", "ann@example.org", body));
    for (const auto* got : {&first, &second}) {
        EXPECT_EQ(got->parsedValue("mime-version"), std::optional<std::string>("1.0"));
        EXPECT_EQ(got->parsedValue("content-type"), std::optional<std::string>("text/plain"));
        EXPECT_EQ(got->parsedValue("charset"), std::optional<std::string>("utf-8"));
        EXPECT_EQ(withoutLineEnd(got->parsedValue("body").value_or("")), body) << got->data;
        EXPECT_TRUE(got->parsedValues("defects").empty()) << got->data;
        for (auto line : splitLines(got->data)) EXPECT_LE(line.size(), 998u);
        for (unsigned char c : got->data) EXPECT_LT(c, 0x80) << "the body crosses as 7-bit";
        const std::string id = got->parsedValue("message-id").value_or("");
        ASSERT_FALSE(id.empty()) << got->data;
        EXPECT_EQ(id.front(), '<') << id;
        const std::size_t at = id.find('@');
        ASSERT_NE(at, std::string::npos) << id;
        EXPECT_EQ(id.substr(at), "@example.org>") << id;
    }
    EXPECT_NE(first.parsedValue("message-id"), second.parsedValue("message-id"));
}

TEST_F(MailHeaders, AnAsciiBodyGoesAsWritten) {
    const auto got = sendAndReceive(mailTo("Ann", "ann@example.org", "Elm School\r\n.dot"));
    EXPECT_EQ(headerLine(got.data, "Content-Transfer-Encoding"), "Content-Transfer-Encoding: 7bit");
    EXPECT_NE(got.data.find("\r\n\r\nElm School\r\n.dot\r\n"), std::string::npos) << got.data;
}

}  // namespace
}  // namespace quirn
