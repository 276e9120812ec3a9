#include <gtest/gtest.h>

#include "comms/MailMessage.h"

namespace quirn {
namespace {

struct RecipientCase {
    const char* text;
    bool ok;
    std::vector<MailRecipient> expected;
};

TEST(MailRecipients, TextsGiveTheirAddressesAndNames) {
    const RecipientCase cases[] = {
        {"Ann Lee <ann@example.org>;bob@example.org",
         true,
         {{"ann@example.org", "Ann Lee "}, {"bob@example.org", ""}}},
        {"carl@example.org", true, {{"carl@example.org", ""}}},
        {"Dee<dee@example.org", true, {{"dee@example.org", "Dee"}}},
        {"a@example.org;;b@example.org;", true, {{"a@example.org", ""}, {"b@example.org", ""}}},
        {"Eve <eve@example.org>; frank@example.org ",
         true,
         {{"eve@example.org", "Eve "}, {"frank@example.org", ""}}},
        {"one@example.org;Bad >x@example.org<;three@example.org", false, {{"one@example.org", ""}}},
        {"", true, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        MailMessage m;
        EXPECT_EQ(m.addRecipients(c.text), c.ok);
        ASSERT_EQ(m.recipientCount(), c.expected.size());
        for (std::size_t i = 0; i < c.expected.size(); ++i) {
            auto r = m.recipient(i);
            ASSERT_TRUE(r.has_value());
            EXPECT_EQ(r->address, c.expected[i].address);
            EXPECT_EQ(r->name, c.expected[i].name);
        }
    }
}

TEST(MailRecipients, IndexOutsideTheListFails) {
    MailMessage m;
    EXPECT_TRUE(m.addRecipient("x@example.org", "X"));
    EXPECT_TRUE(m.recipient(0).has_value());
    EXPECT_FALSE(m.recipient(1).has_value());
    EXPECT_FALSE(m.recipient(static_cast<std::size_t>(-1)).has_value());
}

TEST(MailHeader, ToTextJoinsNamesAndAddressesWithoutBlanks) {
    MailMessage m;
    m.addRecipients("Ann Lee <ann@example.org>;bob@example.org");
    EXPECT_EQ(m.toText(), "Ann Lee <ann@example.org>,<bob@example.org>");
}

TEST(MailHeader, FieldsInOrderEndedByAnEmptyLine) {
    MailMessage m;
    m.from = "station@example.org";
    m.subject = "Message from Quirn Radio";
    m.messageId = "<1.2@example.org>";
    m.addRecipient("ann@example.org", "Ann");
    EXPECT_FALSE(m.buildHeader("Mon, 07 Dec 2026 10:00:00 -0500", "Tolm Mail"));
    EXPECT_EQ(m.header,
              "Date: Mon, 07 Dec 2026 10:00:00 -0500\r\nFrom: station@example.org\r\n"
              "To: Ann<ann@example.org>\r\nSubject: Message from Quirn Radio\r\n"
              "Message-ID: <1.2@example.org>\r\nMIME-Version: 1.0\r\n"
              "Content-Type: text/plain; charset=UTF-8\r\nContent-Transfer-Encoding: 7bit\r\n"
              "X-Mailer: <Tolm Mail>\r\n\r\n");
}

TEST(MailHeader, LineBreaksInFieldsCannotAddHeaderLines) {
    MailMessage m;
    m.from = "station@example.org\r\nBcc: spy@example.org";
    m.subject = "Hi\nX-Evil: 1";
    m.addRecipient("ann@example.org\r", "Ann\r\nCc: spy@example.org");
    EXPECT_TRUE(m.buildHeader("date", "Tolm Mail"));
    EXPECT_EQ(m.header.find("\r\nBcc:"), std::string::npos);
    EXPECT_EQ(m.header.find("\nX-Evil"), std::string::npos);
    EXPECT_EQ(m.header.find("\r\nCc:"), std::string::npos);
    // What was left of the name is quoted: its ':' and '@' cannot make another address.
    EXPECT_NE(m.header.find("To: \"AnnCc: spy@example.org\" <ann@example.org>\r\n"),
              std::string::npos)
        << m.header;
    // Exactly the eight header lines (no Message-ID was given) and the empty line.
    std::size_t lineEnds = 0;
    for (std::size_t p = m.header.find("\r\n"); p != std::string::npos;
         p = m.header.find("\r\n", p + 2))
        ++lineEnds;
    EXPECT_EQ(lineEnds, 9u);
}

struct BodyCase {
    const char* body;
    const char* wire;
};

TEST(MailBody, LinesStartingWithADotGetAnotherAndTheBodyEndsInCrLf) {
    const BodyCase cases[] = {
        {"Hello", "Hello\r\n"},
        {"Hello\r\n", "Hello\r\n"},
        {".\r\n", "..\r\n"},
        {"a\r\n.\r\nb", "a\r\n..\r\nb\r\n"},
        {".hidden line\r\nnext", "..hidden line\r\nnext\r\n"},
        {"a.b\r\n..two", "a.b\r\n...two\r\n"},
        {"", "\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.body);
        MailMessage m;
        m.body = c.body;
        EXPECT_EQ(m.transparentBody(), c.wire);
    }
}

}  // namespace
}  // namespace quirn
