#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "comms/IpConnection.h"
#include "ops/LogWriter.h"
#include "plans/Location.h"
#include "platform/FileSystem.h"
#include "platform/LocalTime.h"
#include "platform/Paths.h"
#include "tests/comms/CommsFakes.h"
#include "tests/support/LoopbackServer.h"
#include "tests/support/TempFolder.h"

namespace quirn {
namespace {

using test::FakeProtocol;
using test::LoopbackServer;

constexpr std::time_t kStart = 1773570000;

// A loopback listener that never answers a connect: its backlog is filled by connects that
// are never accepted, and the system then drops further connection requests, so a client's
// connect stays in progress while the system retries (minutes).
class SilentListener {
  public:
    explicit SilentListener(const std::string& address) {
        listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        socklen_t length = sizeof a;
        if (listener_ < 0 || ::inet_pton(AF_INET, address.c_str(), &a.sin_addr) != 1 ||
            ::bind(listener_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
            ::listen(listener_, 0) != 0 ||
            ::getsockname(listener_, reinterpret_cast<sockaddr*>(&a), &length) != 0)
            return;
        port_ = ntohs(a.sin_port);
        for (int i = 0; i < kMostFillers && !silent_; ++i) {
            int c = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
            if (c < 0) return;
            fillers_.push_back(c);
            if (::connect(c, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0) continue;
            pollfd p{c, POLLOUT, 0};
            silent_ = ::poll(&p, 1, kAnswerMs) == 0;  // no answer: the backlog is full
        }
    }
    ~SilentListener() {
        for (int c : fillers_) ::close(c);
        if (listener_ >= 0) ::close(listener_);
    }
    SilentListener(const SilentListener&) = delete;
    SilentListener& operator=(const SilentListener&) = delete;

    bool silent() const { return silent_; }
    unsigned port() const { return port_; }

  private:
    static constexpr int kMostFillers = 16;
    // A loopback connect is answered within microseconds when it is answered at all.
    static constexpr int kAnswerMs = 200;
    int listener_ = -1;
    unsigned port_ = 0;
    bool silent_ = false;
    std::vector<int> fillers_;
};

// One IP entry talking to a real listening socket on a loopback address. Time-outs and waits
// run on the manual clock; only the arrival of loopback bytes takes (a few ms of) real time.
class IpConnectionLoopback : public ::testing::Test {
  protected:
    IpConnectionLoopback() : clock(kStart) { makeFolder(folder.logs()); }

    std::unique_ptr<IpConnection> entry(const std::string& address, unsigned port) {
        auto e = std::make_unique<IpConnection>(
            IpServices{LinkServices{clock, logWriter, protocol, protocol, nullptr}, errors, {}},
            address, &busy);
        e->setPort(port);
        return e;
    }
    // Steps without moving the clock until `done` holds (bounded in real time).
    template <typename Done>
    bool stepUntil(IpConnection& e, Done done, int limitMs = 2000) {
        auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
        while (!done()) {
            if (std::chrono::steady_clock::now() > until) return false;
            e.step();
            if (!done()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }
    bool stepUntilState(IpConnection& e, IpConnection::State state) {
        return stepUntil(e, [&] { return e.state() == state; });
    }
    // Advances the clock in ticks while the entry stays in `state`; returns seconds spent.
    double secondsIn(IpConnection& e, IpConnection::State state, int limitTicks = 1000) {
        int ticks = 0;
        while (e.state() == state && ticks < limitTicks) {
            clock.advanceMs(500);
            e.step();
            ++ticks;
        }
        return ticks / 2.0;
    }
    static const unsigned char* bytesOf(const std::string& s) {
        return reinterpret_cast<const unsigned char*>(s.data());
    }
    void queueRead(IpConnection& e, Location& l) {
        std::string request = protocol.readRequest(l);
        ASSERT_TRUE(e.queueRead(l, bytesOf(request), request.size()));
    }

    test::TempFolder folder;
    const WorkingFolder working = folder.workingFolder();
    const LogWriter logWriter{working};
    ManualClock clock;
    FakeProtocol protocol;
    test::RecordingErrorSink errors;
    BusyCount busy;
    Location location{1, 1, 2};
};

TEST_F(IpConnectionLoopback, ADirectSendConnectsSendsStaysOneSecondAndCloses) {
    LoopbackServer server("127.0.0.5");
    ASSERT_TRUE(server.ok());
    auto e = entry("127.0.0.5", server.port());
    EXPECT_EQ(e->statusText(), "IP Socket Address  127.0.0.5 waiting.");
    std::string message(20, 'd');
    ASSERT_TRUE(e->queueDirect(bytesOf(message), message.size()));
    e->step();
    EXPECT_EQ(e->state(), IpConnection::State::Connecting);
    EXPECT_EQ(busy.value(), 1);
    EXPECT_EQ(e->statusText(), "IP Socket Address  127.0.0.5 closing Location.");
    EXPECT_EQ(e->lastAttempt(), kStart);
    ASSERT_TRUE(stepUntilState(*e, IpConnection::State::Staying));
    EXPECT_EQ(e->statusText(), "IP Socket Address  127.0.0.5, writing Time Switch.");
    EXPECT_EQ(e->lastConnection(), kStart);
    EXPECT_EQ(e->waitSeconds(), 1);
    EXPECT_EQ(e->sendCount(), 0u);
    ASSERT_TRUE(server.waitForBytes(0, 20));
    EXPECT_EQ(server.received(0), message);
    EXPECT_EQ(errors.cleared, std::vector<std::string>{"127.0.0.5"});
    EXPECT_DOUBLE_EQ(secondsIn(*e, IpConnection::State::Staying), 2.0);
    EXPECT_EQ(e->state(), IpConnection::State::Closing);
    e->step();
    EXPECT_EQ(e->state(), IpConnection::State::Idle);
    EXPECT_EQ(busy.value(), 0);
    EXPECT_TRUE(server.waitForPeerClose(0));
    std::string log = test::readFile(logWriter.logFileName(clock, kLogTransmit));
    EXPECT_NE(log.find("To: 127.0.0.5," + message), std::string::npos) << log;
}

TEST_F(IpConnectionLoopback, TheM2MClientKeepsTheConnection45SecondsAfterALongMessage) {
    LoopbackServer server("127.0.0.1");
    ASSERT_TRUE(server.ok());
    auto e = entry("127.0.0.1", server.port());
    struct Case {
        std::size_t bytes;
        int wait;
    };
    for (Case c : {Case{20, 45}, Case{15, 45}, Case{14, 5}, Case{10, 5}}) {
        std::string message(c.bytes, 'm');
        ASSERT_TRUE(e->queueDirect(bytesOf(message), message.size()));
        ASSERT_TRUE(stepUntilState(*e, IpConnection::State::Staying));
        EXPECT_EQ(e->waitSeconds(), c.wait) << c.bytes;
        // Closes once more whole seconds than the wait have passed.
        EXPECT_DOUBLE_EQ(secondsIn(*e, IpConnection::State::Staying), c.wait + 1.0) << c.bytes;
        e->step();
        EXPECT_EQ(e->state(), IpConnection::State::Idle);
    }
}

TEST_F(IpConnectionLoopback, AReadWaitsTwoMinutesForTheM2MClientAnd12SecondsElsewhere) {
    struct Case {
        const char* address;
        double seconds;
    };
    for (Case c : {Case{"127.0.0.1", 120.5}, Case{"127.0.0.5", 12.5}}) {
        LoopbackServer server(c.address);
        ASSERT_TRUE(server.ok());
        auto e = entry(c.address, server.port());
        protocol.replies.clear();
        queueRead(*e, location);
        ASSERT_TRUE(stepUntilState(*e, IpConnection::State::Reading));
        EXPECT_TRUE(e->isReading());
        EXPECT_EQ(e->statusText(),
                  std::string("IP Socket Address  ") + c.address + " reading location.");
        ASSERT_TRUE(server.waitForBytes(0, 8));
        EXPECT_EQ(server.received(0), "X@R0102o");
        EXPECT_DOUBLE_EQ(secondsIn(*e, IpConnection::State::Reading), c.seconds) << c.address;
        EXPECT_EQ(e->state(), IpConnection::State::Closing);
        ASSERT_EQ(protocol.replies.size(), 1u);  // the location judges what arrived: nothing
        EXPECT_EQ(protocol.replies[0].bytes, "");
        EXPECT_FALSE(e->readFlag());
    }
}

TEST_F(IpConnectionLoopback, ARefusedConnectAddsOneErrorAndLeavesTheEntryIdleAndEmpty) {
    unsigned port;
    {
        LoopbackServer probe("127.0.0.9");
        ASSERT_TRUE(probe.ok());
        port = probe.port();
    }
    auto e = entry("127.0.0.9", port);
    std::string message(30, 'x');
    ASSERT_TRUE(e->queueDirect(bytesOf(message), message.size()));
    e->setClockFlag(ClockMessage::Time, true);
    ASSERT_TRUE(stepUntil(*e, [&] { return !errors.added.empty(); }));
    EXPECT_EQ(e->state(), IpConnection::State::Idle);
    ASSERT_EQ(errors.added.size(), 1u);
    EXPECT_EQ(errors.added[0], "127.0.0.9|IP Connection Error at IP Address 127.0.0.9.");
    EXPECT_EQ(e->sendCount(), 0u);
    EXPECT_EQ(busy.value(), 0);
    EXPECT_TRUE(e->clockFlag(ClockMessage::Time));  // tries again at the next tick
    EXPECT_EQ(e->lastConnection(), neverTime());

    auto m2m = entry("127.0.0.1", port);
    m2m->queueDirect(bytesOf(message), message.size());
    ASSERT_TRUE(stepUntil(*m2m, [&] { return errors.added.size() == 2; }));
    EXPECT_EQ(errors.added[1],
              "127.0.0.1|IP Connection Error to Vorn M2M Client.  Make sure this program is "
              "installed and running.");
}

// Before, the entry stayed "connecting" for as long as the system retried (134 s on this
// system) before the switch was reported.
TEST_F(IpConnectionLoopback, AConnectLeftUnansweredFailsOnceTheReplysWaitHasPassed) {
    struct Case {
        const char* address;
        double seconds;
        const char* error;
    };
    for (Case c :
         {Case{"127.0.0.9", 12.5, "127.0.0.9|IP Connection Error at IP Address 127.0.0.9."},
          Case{"127.0.0.1", 120.5,
               "127.0.0.1|IP Connection Error to Vorn M2M Client.  Make sure this "
               "program is installed and running."}}) {
        SCOPED_TRACE(c.address);
        SilentListener silent(c.address);
        ASSERT_TRUE(silent.silent()) << "no listener could be made to leave a connect unanswered";
        errors.added.clear();
        auto e = entry(c.address, silent.port());
        std::string message(30, 'x');
        ASSERT_TRUE(e->queueDirect(bytesOf(message), message.size()));
        e->step();
        ASSERT_EQ(e->state(), IpConnection::State::Connecting);
        EXPECT_DOUBLE_EQ(secondsIn(*e, IpConnection::State::Connecting), c.seconds);
        EXPECT_EQ(e->state(), IpConnection::State::Idle);
        EXPECT_EQ(errors.added, std::vector<std::string>{c.error});
        EXPECT_EQ(e->sendCount(), 0u);
        EXPECT_EQ(busy.value(), 0);
    }
}

TEST_F(IpConnectionLoopback, AnExact968ByteImageIsAnsweredWithK) {
    LoopbackServer server("127.0.0.5");
    auto e = entry("127.0.0.5", server.port());
    std::size_t connection = 0;
    for (std::size_t size : {968u, 967u}) {
        protocol.replies.clear();
        queueRead(*e, location);
        ASSERT_TRUE(stepUntilState(*e, IpConnection::State::Reading));
        ASSERT_TRUE(server.waitForConnections(connection + 1));
        ASSERT_TRUE(server.waitForBytes(connection, 8));
        ASSERT_TRUE(server.send(connection, FakeProtocol::image(size)));
        if (size == 968) {
            ASSERT_TRUE(stepUntilState(*e, IpConnection::State::Closing));
            ASSERT_TRUE(server.waitForBytes(connection, 9));
            EXPECT_EQ(server.received(connection), "X@R0102oK");
            EXPECT_EQ(location.replyCount, 1);
        } else {
            stepUntil(*e, [&] { return e->receiveCount() == size; });
            secondsIn(*e, IpConnection::State::Reading);
            EXPECT_EQ(server.received(connection), "X@R0102o");
            EXPECT_EQ(location.replyCount, 1);  // timed out; not taken as a whole image
        }
        ASSERT_EQ(protocol.replies.size(), 1u);
        EXPECT_EQ(protocol.replies[0].bytes.size(), size);
        e->step();
        EXPECT_EQ(e->state(), IpConnection::State::Idle);
        ++connection;
    }
}

TEST_F(IpConnectionLoopback, AnErrorReplyClosesWithoutHandingItOver) {
    LoopbackServer server("127.0.0.5");
    auto e = entry("127.0.0.5", server.port());
    queueRead(*e, location);
    ASSERT_TRUE(stepUntilState(*e, IpConnection::State::Reading));
    ASSERT_TRUE(server.waitForConnections(1));
    ASSERT_TRUE(server.send(0, "ERR"));
    ASSERT_TRUE(stepUntilState(*e, IpConnection::State::Closing));
    EXPECT_TRUE(protocol.replies.empty());
    EXPECT_FALSE(e->readFlag());
}

TEST_F(IpConnectionLoopback, ReadsAThreeBlockActivationLogThenSendsTheClearAndCloses) {
    LoopbackServer server("127.0.0.5");
    auto e = entry("127.0.0.5", server.port());
    queueRead(*e, location);
    ASSERT_TRUE(stepUntilState(*e, IpConnection::State::Reading));
    ASSERT_TRUE(server.waitForBytes(0, 8));
    ASSERT_TRUE(server.send(0, "PWL#"));
    ASSERT_TRUE(stepUntilState(*e, IpConnection::State::ReadingLog));
    EXPECT_EQ(e->statusText(), "IP Socket Address  127.0.0.5 waiting.");
    EXPECT_EQ(location.replyCount, 0);  // the first answer is not a reply of the expected size
    std::string expected = "X@R0102o@B01020#";
    ASSERT_TRUE(server.waitForBytes(0, expected.size()));
    EXPECT_EQ(server.received(0), expected);
    for (int block = 0; block < 3; ++block) {
        ASSERT_TRUE(server.send(0, FakeProtocol::logBlock(block, 2)));
        if (block < 2) {
            expected += "@B0102" + std::to_string(block + 1) + "#";
            ASSERT_TRUE(
                stepUntil(*e, [&] { return server.received(0).size() == expected.size(); }));
            EXPECT_EQ(server.received(0), expected);
        }
    }
    ASSERT_TRUE(stepUntilState(*e, IpConnection::State::Staying));
    EXPECT_EQ(protocol.logsFinished, 1);
    EXPECT_EQ(e->sendCount(), 7u);  // the clear command waits one second
    EXPECT_DOUBLE_EQ(secondsIn(*e, IpConnection::State::Staying), 4.0);
    expected += "@C0102#";
    ASSERT_TRUE(server.waitForBytes(0, expected.size()));
    EXPECT_EQ(server.received(0), expected);
    e->step();
    EXPECT_EQ(e->state(), IpConnection::State::Idle);
    EXPECT_TRUE(server.waitForPeerClose(0));
}

TEST_F(IpConnectionLoopback, AFloodingPeerCannotGrowTheReceiveBuffer) {
    LoopbackServer server("127.0.0.5");
    auto e = entry("127.0.0.5", server.port());
    queueRead(*e, location);
    ASSERT_TRUE(stepUntilState(*e, IpConnection::State::Reading));
    ASSERT_TRUE(server.waitForConnections(1));
    std::string flood(200000, 'f');
    std::size_t sent = server.sendWithoutWaiting(0, flood);
    ASSERT_GT(sent, 4000u);
    e->step();
    EXPECT_LE(e->receiveCount(), kMessageBufferSize);
    ASSERT_TRUE(stepUntilState(*e, IpConnection::State::Closing));
    ASSERT_EQ(protocol.replies.size(), 1u);  // more than an image's worth ends the read
    EXPECT_LE(protocol.replies[0].bytes.size(), kMessageBufferSize);
    e->step();
    EXPECT_EQ(e->state(), IpConnection::State::Idle);
}

TEST_F(IpConnectionLoopback, ClockFlagsConnectThreeTimesWithTheSendBufferOnTheFirst) {
    LoopbackServer server("127.0.0.5");
    auto e = entry("127.0.0.5", server.port());
    e->setClockFlag(ClockMessage::BcdTime, true);
    e->setClockFlag(ClockMessage::TimeDate, true);
    e->setClockFlag(ClockMessage::Time, true);
    std::string data = "@D0102AH0#";
    ASSERT_TRUE(e->queueBroadcast(bytesOf(data), data.size()));
    const char* clockMessages[] = {"$Tclock", "@Zclock#", "@Tclock#"};
    for (std::size_t i = 0; i < 3; ++i) {
        ASSERT_TRUE(stepUntilState(*e, IpConnection::State::Staying)) << i;
        ASSERT_TRUE(server.waitForConnections(i + 1));
        std::string expected = clockMessages[i];
        ASSERT_TRUE(server.waitForBytes(i, expected.size()));
        EXPECT_EQ(server.received(i), expected);
        secondsIn(*e, IpConnection::State::Staying);
        if (i == 0) {
            // After the clock message's wait the waiting data follows on the same connection.
            ASSERT_TRUE(server.waitForBytes(i, expected.size() + data.size()));
            EXPECT_EQ(server.received(i), expected + data);
            secondsIn(*e, IpConnection::State::Staying);
        }
        EXPECT_EQ(e->state(), IpConnection::State::Closing);
        e->step();
        EXPECT_TRUE(server.waitForPeerClose(i));
    }
    e->step();
    EXPECT_EQ(e->state(), IpConnection::State::Idle);
    EXPECT_EQ(server.connectionCount(), 3u);
}

TEST_F(IpConnectionLoopback, DataThatDoesNotFitGoesOutLaterInOrder) {
    LoopbackServer server("127.0.0.5");
    auto e = entry("127.0.0.5", server.port());
    std::string a(3000, 'a'), b(3000, 'b');
    ASSERT_TRUE(e->queueDirect(bytesOf(a), a.size()));
    ASSERT_TRUE(e->queueDirect(bytesOf(b), b.size()));
    EXPECT_EQ(e->sendCount(), 3000u);
    EXPECT_EQ(e->sendWaiting(), 3000u);
    EXPECT_FALSE(e->queueDirect(bytesOf(std::string(4001, 'z')), 4001));
    ASSERT_TRUE(stepUntilState(*e, IpConnection::State::Staying));
    secondsIn(*e, IpConnection::State::Staying);  // sends b after the wait, then waits again
    secondsIn(*e, IpConnection::State::Staying);
    ASSERT_TRUE(server.waitForBytes(0, 6000));
    EXPECT_EQ(server.received(0), a + b);
    EXPECT_EQ(e->sendCount() + e->sendWaiting(), 0u);
}

TEST_F(IpConnectionLoopback, EachHandOverOverridesTheFlagsOfTheLast) {
    auto e = entry("127.0.0.5", 1);
    std::string bytes = "abc";
    ASSERT_TRUE(e->queueRead(location, bytesOf(bytes), 3));
    EXPECT_TRUE(e->readFlag());
    EXPECT_EQ(e->locationBeingRead(), &location);
    ASSERT_TRUE(e->queueBroadcast(bytesOf(bytes), 3));
    EXPECT_FALSE(e->readFlag());
    EXPECT_FALSE(e->directFlag());
    EXPECT_EQ(e->locationBeingRead(), nullptr);
    ASSERT_TRUE(e->queueDirect(bytesOf(bytes), 3));
    EXPECT_TRUE(e->directFlag());
    EXPECT_EQ(e->sendCount(), 9u);
    e->setClockFlag(ClockMessage::Time, true);
    e->setPort(2001);  // resets
    EXPECT_EQ(e->sendCount(), 0u);
    EXPECT_FALSE(e->directFlag());
    EXPECT_FALSE(e->clockFlag(ClockMessage::Time));
    EXPECT_EQ(e->port(), 2001u);
    e->setAddress("127.0.0.6");
    EXPECT_EQ(e->address(), "127.0.0.6");
    EXPECT_EQ(e->name(), "127.0.0.6");
}

TEST(IpConnectionWait, IsOneSecondForAnyMessageButTheM2MClientsFirstSend) {
    test::TempFolder folder;
    const LogWriter logWriter{folder.workingFolder()};
    ManualClock clock;
    FakeProtocol protocol;
    test::RecordingErrorSink errors;
    IpServices services{LinkServices{clock, logWriter, protocol, protocol, nullptr}, errors, {}};
    IpConnection wifi(services, "127.0.0.5");
    IpConnection m2m(services, "127.0.0.1");
    for (std::size_t count : {0u, 1u, 250u, 3999u, 4000u}) {
        EXPECT_EQ(wifi.waitAfterSend(count, true), 1) << count;
        EXPECT_EQ(m2m.waitAfterSend(count, false), 1) << count;
    }
    EXPECT_EQ(m2m.waitAfterSend(14, true), 5);
    EXPECT_EQ(m2m.waitAfterSend(15, true), 45);
}

}  // namespace
}  // namespace quirn
