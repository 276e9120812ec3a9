#include <gtest/gtest.h>

#include <ctime>
#include <deque>
#include <memory>

#include "comms/SmtpClient.h"
#include "ops/LogWriter.h"
#include "platform/FileSystem.h"
#include "platform/LocalTime.h"
#include "platform/Paths.h"
#include "tests/support/TempFolder.h"

namespace quirn {
namespace {

// What the fake connection delivers on one receive: bytes, or a status without bytes.
struct Delivery {
    std::string bytes;
    SocketStatus status = SocketStatus::Ok;
};

// The far end of a scripted connection, shared by the test and the socket the client owns.
struct Wire {
    SocketStatus connectResult = SocketStatus::Ok;
    std::deque<Delivery> deliveries;
    std::string sent;
    int connects = 0;
    int closes = 0;
    std::vector<int> receiveTimeouts;
    ManualClock* clock = nullptr;
    long long msPerReceive = 0;  // how long each receive appears to take

    void reply(std::string bytes) { deliveries.push_back({std::move(bytes)}); }
};

class ScriptedSocket final : public BlockingTcpSocket {
  public:
    explicit ScriptedSocket(std::shared_ptr<Wire> wire) : wire_(std::move(wire)) {}
    SocketStatus connect(const std::string&, unsigned, int) override {
        ++wire_->connects;
        open_ = wire_->connectResult == SocketStatus::Ok;
        return wire_->connectResult;
    }
    SocketStatus sendAll(std::string_view bytes, int) override {
        if (!open_) return SocketStatus::Failed;
        wire_->sent.append(bytes);
        return SocketStatus::Ok;
    }
    SocketStatus receive(char* buffer, std::size_t capacity, std::size_t& received,
                         int timeoutMs) override {
        received = 0;
        wire_->receiveTimeouts.push_back(timeoutMs);
        if (wire_->clock) wire_->clock->advanceMs(wire_->msPerReceive);
        if (wire_->deliveries.empty()) return SocketStatus::TimedOut;
        Delivery& d = wire_->deliveries.front();
        if (d.bytes.empty()) {
            SocketStatus s = d.status;
            wire_->deliveries.pop_front();
            return s;
        }
        received = std::min(capacity, d.bytes.size());
        std::copy_n(d.bytes.data(), received, buffer);
        d.bytes.erase(0, received);
        if (d.bytes.empty()) wire_->deliveries.pop_front();
        return SocketStatus::Ok;
    }
    void close() override {
        if (open_) ++wire_->closes;
        open_ = false;
    }
    bool isOpen() const override { return open_; }

  private:
    std::shared_ptr<Wire> wire_;
    bool open_ = false;
};

class SmtpClientTest : public ::testing::Test {
  protected:
    SmtpClientTest() : clock(fromLocal(2026, 12, 7, 10, 30, 5)) {
        makeFolder(folder.logs());
        wire->clock = &clock;
    }

    std::unique_ptr<SmtpClient> makeClient() {
        auto client = std::make_unique<SmtpClient>(clock, "mail.test", SmtpClient::kDefaultPort,
                                                   std::make_unique<ScriptedSocket>(wire));
        client->setTimeoutMs(kTimeoutMs);
        return client;
    }
    void greetAndHelo() {
        wire->reply("220 ready\r\n");
        wire->reply("250 hello\r\n");
    }
    MailMessage message() {
        MailMessage m;
        m.from = "station@example.org";
        m.subject = "Message from Quirn Radio";
        m.body = "Body";
        m.addRecipient("ann@example.org", "Ann");
        return m;
    }
    std::string emailLog() { return test::readFile(logWriter.logFileName(clock, kLogEMail)); }

    static constexpr int kTimeoutMs = 1000;
    test::TempFolder folder;
    const WorkingFolder working = folder.workingFolder();
    const LogWriter logWriter{working};
    ManualClock clock;
    std::shared_ptr<Wire> wire = std::make_shared<Wire>();
};

TEST_F(SmtpClientTest, ConnectGreetsWithHeloAndQuitCloses) {
    greetAndHelo();
    wire->reply("221 bye\r\n");
    auto client = makeClient();
    ASSERT_TRUE(client->connect()) << client->lastError();
    EXPECT_TRUE(client->isConnected());
    EXPECT_TRUE(client->connect());  // already connected: nothing more is said
    EXPECT_EQ(wire->connects, 1);
    EXPECT_EQ(wire->sent.rfind("HELO ", 0), 0u);
    EXPECT_EQ(wire->sent.substr(wire->sent.size() - 2), "\r\n");
    EXPECT_TRUE(client->disconnect());
    EXPECT_FALSE(client->isConnected());
    EXPECT_NE(wire->sent.find("QUIT\r\n"), std::string::npos);
    EXPECT_EQ(wire->closes, 1);
    EXPECT_TRUE(client->disconnect());  // not connected: success, nothing sent
    EXPECT_EQ(wire->sent.find("QUIT\r\n"), wire->sent.rfind("QUIT\r\n"));
}

TEST_F(SmtpClientTest, RepliesAreReadToTheirLastLineWhateverTheSegments) {
    wire->reply("2");
    wire->reply("20 rea");
    wire->reply("dy\r\n");
    wire->reply("250-first\r\n250-sec");
    wire->reply("ond\r\n250 last\r\n");
    wire->reply("221 bye\r\n");
    auto client = makeClient();
    ASSERT_TRUE(client->connect()) << client->lastError();
    EXPECT_TRUE(client->disconnect()) << client->lastError();
}

TEST_F(SmtpClientTest, AnEndlessReplyLineStaysBoundedAndIsJudgedByItsCode) {
    wire->reply("220 " + std::string(5000, 'x') + "\r\n");
    wire->reply("250 hello\r\n");
    auto client = makeClient();
    EXPECT_TRUE(client->connect()) << client->lastError();
}

struct ConnectFailure {
    const char* name;
    SocketStatus connectResult;
    std::vector<Delivery> replies;
    const char* error;
};

TEST_F(SmtpClientTest, ConnectFailuresCloseTheSocketAndSayWhy) {
    const ConnectFailure cases[] = {
        {"refused", SocketStatus::Failed, {}, "Unable to connect to server"},
        {"connect timed out", SocketStatus::TimedOut, {}, "Unable to connect to server"},
        {"other greeting", SocketStatus::Ok, {{"554 go away\r\n"}}, "Server didn't respond."},
        {"silent", SocketStatus::Ok, {}, "Server didn't respond."},
        {"closed", SocketStatus::Ok, {{"", SocketStatus::Closed}}, "Server didn't respond."},
        {"helo refused",
         SocketStatus::Ok,
         {{"220 hi\r\n"}, {"502 no\r\n"}},
         "502:SMTP server error"},
        {"helo unanswered", SocketStatus::Ok, {{"220 hi\r\n"}}, "Socket Timed Out"},
        {"helo cut off",
         SocketStatus::Ok,
         {{"220 hi\r\n"}, {"", SocketStatus::Failed}},
         "Socket Error"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        wire = std::make_shared<Wire>();
        wire->connectResult = c.connectResult;
        for (const auto& d : c.replies) wire->deliveries.push_back(d);
        auto client = makeClient();
        EXPECT_FALSE(client->connect());
        EXPECT_FALSE(client->isConnected());
        EXPECT_EQ(client->lastError(), c.error);
        client.reset();
        EXPECT_EQ(wire->sent.find("QUIT"), std::string::npos);
    }
}

TEST_F(SmtpClientTest, EveryWaitIsBoundedByTheTimeOut) {
    wire->reply("220 ready\r\n");
    auto client = makeClient();
    EXPECT_FALSE(client->connect());
    EXPECT_EQ(client->lastError(), "Socket Timed Out");
    ASSERT_FALSE(wire->receiveTimeouts.empty());
    for (int t : wire->receiveTimeouts) {
        EXPECT_GT(t, 0);
        EXPECT_LE(t, kTimeoutMs);
    }
}

TEST_F(SmtpClientTest, AServerTricklingOneReplyIsCutOffAtTheTimeOut) {
    wire->msPerReceive = 400;
    for (int i = 0; i < 20; ++i) wire->reply("2");
    auto client = makeClient();
    EXPECT_FALSE(client->connect());
    // 1000 ms at 400 ms per receive: the third receive ends the wait.
    EXPECT_EQ(wire->receiveTimeouts.size(), 3u);
}

TEST_F(SmtpClientTest, MessageDialogueInOrder) {
    greetAndHelo();
    wire->reply("250 sender ok\r\n");
    wire->reply("250 rcpt ok\r\n");
    wire->reply("354 go ahead\r\n");
    wire->reply("250 queued\r\n");
    auto client = makeClient();
    ASSERT_TRUE(client->connect());
    wire->sent.clear();
    MailMessage m = message();
    m.body = "Line one\r\n.dot line";
    ASSERT_TRUE(client->sendMessage(m)) << client->lastError();
    EXPECT_EQ(wire->sent,
              "MAIL From: <station@example.org>\r\nRCPT TO: <ann@example.org>\r\nDATA\r\n" +
                  m.header + "Line one\r\n..dot line\r\n\r\n.\r\n");
    // New York's winter offset; a numeric zone whatever the runtime calls the zone.
    EXPECT_EQ(m.header.rfind("Date: Mon, 07 Dec 2026 10:30:05 -0500\r\n", 0), 0u) << m.header;
}

TEST_F(SmtpClientTest, SendingNeedsAConnectionAndRecipients) {
    auto client = makeClient();
    MailMessage m = message();
    EXPECT_FALSE(client->sendMessage(m));
    EXPECT_EQ(client->lastError(), "Must be connected");
    greetAndHelo();
    ASSERT_TRUE(client->connect());
    MailMessage empty;
    EXPECT_FALSE(client->sendMessage(empty));
    EXPECT_EQ(client->lastError(), "No Recipients");
}

TEST_F(SmtpClientTest, RefusedRecipientDoesNotStopTheMessage) {
    greetAndHelo();
    for (const char* r : {"250 ok\r\n", "550 no such user\r\n", "250 ok\r\n", "354 go\r\n",
                          "250 queued\r\n", "221 bye\r\n"})
        wire->reply(r);
    auto client = makeClient();
    ASSERT_TRUE(client->connect());
    MailMessage m = message();
    m.addRecipient("bob@example.org", "Bob");
    EXPECT_TRUE(client->sendMessage(m)) << client->lastError();
    EXPECT_NE(wire->sent.find("RCPT TO: <bob@example.org>\r\n"), std::string::npos);
    EXPECT_TRUE(client->disconnect());
}

TEST_F(SmtpClientTest, ReplyCodesOfEachStepAreChecked) {
    struct Case {
        std::vector<const char*> replies;
        const char* error;
    };
    const Case cases[] = {
        {{"451 later\r\n"}, "451:SMTP server error"},
        {{"250 ok\r\n", "250 ok\r\n", "250 ok\r\n"}, "250:SMTP server not ready for data"},
        {{"250 ok\r\n", "250 ok\r\n", "354 go\r\n", "554 rejected\r\n"}, "554:SMTP server error"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.error);
        wire = std::make_shared<Wire>();
        greetAndHelo();
        for (const char* r : c.replies) wire->reply(r);
        wire->reply("250 not a goodbye\r\n");
        auto client = makeClient();
        ASSERT_TRUE(client->connect());
        MailMessage m = message();
        EXPECT_FALSE(client->sendMessage(m));
        EXPECT_EQ(client->lastError(), c.error);
        EXPECT_TRUE(client->isConnected());
        EXPECT_FALSE(client->disconnect());
        EXPECT_EQ(client->lastError(), "250:SMTP server didn't terminate session");
    }
}

TEST_F(SmtpClientTest, DestructionSaysQuitWhenStillConnected) {
    greetAndHelo();
    wire->reply("221 bye\r\n");
    {
        auto client = makeClient();
        ASSERT_TRUE(client->connect());
    }
    EXPECT_EQ(wire->sent.substr(wire->sent.size() - 6), "QUIT\r\n");
    EXPECT_EQ(wire->closes, 1);
}

TEST_F(SmtpClientTest, LineBreaksInHeaderFieldsAreDroppedAndReported) {
    greetAndHelo();
    for (const char* r : {"250 ok\r\n", "250 ok\r\n", "354 go\r\n", "250 queued\r\n"})
        wire->reply(r);
    auto client = makeClient();
    ASSERT_TRUE(client->connect());
    MailMessage m;
    m.from = "station@example.org";
    m.subject = "Hi\r\nBcc: spy@example.org";
    m.body = "Body";
    m.addRecipient("ann@example.org\r\nRCPT TO: <spy@example.org>", "Ann");
    ASSERT_TRUE(client->sendMessage(m));
    EXPECT_EQ(wire->sent.find("\r\nBcc:"), std::string::npos);
    EXPECT_EQ(wire->sent.find("\r\nRCPT TO: <spy"), std::string::npos);
    // The client only reports it: whoever logs the delivery says so, on its own thread.
    EXPECT_TRUE(client->lineBreaksDropped());
    EXPECT_EQ(emailLog(), "");
}

TEST_F(SmtpClientTest, CleanHeadersLeaveNoLogLine) {
    greetAndHelo();
    for (const char* r : {"250 ok\r\n", "250 ok\r\n", "354 go\r\n", "250 queued\r\n"})
        wire->reply(r);
    auto client = makeClient();
    ASSERT_TRUE(client->connect());
    MailMessage m = message();
    ASSERT_TRUE(client->sendMessage(m));
    EXPECT_FALSE(client->lineBreaksDropped());
    EXPECT_EQ(emailLog(), "");
}

}  // namespace
}  // namespace quirn
