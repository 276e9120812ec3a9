#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "platform/LocalTime.h"
#include "platform/PseudoTerminal.h"
#include "platform/TcpListener.h"
#include "protocol/PagedCommands.h"
#include "protocol/SentenceCommands.h"
#include "sim/PtyTransport.h"
#include "sim/ReplyPacer.h"
#include "sim/TcpTransport.h"
#include "tests/sim/SimTestSupport.h"

namespace quirn::sim {
namespace {

using test::settingsFor;

// A pseudo-terminal played by the test: what the station "wrote" waits in `input`, what the
// switch wrote collects in `output`, and the station's line rate is whatever the test says.
class FakePty final : public PseudoTerminal {
  public:
    std::string input;
    std::string output;
    int stationBaud = 2400;
    size_t writeLimit = 1 << 20;

    bool open(int) override { return true; }
    void close() override {}
    bool isOpen() const override { return true; }
    const std::string& devicePath() const override { return path_; }
    long read(unsigned char* buffer, std::size_t capacity) override {
        size_t n = std::min(capacity, input.size());
        std::copy(input.begin(), input.begin() + static_cast<long>(n), buffer);
        input.erase(0, n);
        return static_cast<long>(n);
    }
    long write(const unsigned char* bytes, std::size_t count) override {
        size_t n = std::min(count, writeLimit);
        output.append(reinterpret_cast<const char*>(bytes), n);
        return static_cast<long>(n);
    }
    bool waitReadable(int) override { return !input.empty(); }
    int deviceBaud() const override { return stationBaud; }
    const std::string& errorText() const override { return path_; }

  private:
    std::string path_ = "/dev/fake";
};

std::time_t noon() {
    return fromLocal(2026, 6, 10, 12, 0, 0);
}

TEST(ReplyPacerTest, WithoutPaceEverythingIsDueAtOnce) {
    ReplyPacer p(0);
    p.add("abc", 0);
    EXPECT_EQ(p.due(0), "abc");
    EXPECT_TRUE(p.empty());
}

TEST(ReplyPacerTest, OneByteEveryInterval) {
    ReplyPacer p(100);
    p.add("abcd", 1000);
    EXPECT_EQ(p.due(1000), "a");
    EXPECT_EQ(p.due(1050), "");
    EXPECT_EQ(p.due(1100), "b");
    EXPECT_EQ(p.due(1350), "cd");  // late turns catch up, never early
    EXPECT_TRUE(p.empty());
    p.add("e", 5000);  // after a pause the next byte goes at once
    EXPECT_EQ(p.due(5000), "e");
}

TEST(PtyTransportTest, AnswersAtTheSwitchLineRateOnly) {
    ManualClock host(noon());
    SimulatedTimeSwitch device(settingsFor(SimModel::LR40, {1, 2, 3}, noon()), host);
    std::vector<std::string> lines;
    FakePty pty;
    PtyTransport t(pty, device, host, [&](const std::string& l) { lines.push_back(l); });

    pty.stationBaud = 4800;  // the station talks faster than the switch listens
    pty.input = PageAllCommand().bytes();
    ASSERT_TRUE(t.step());
    EXPECT_TRUE(pty.output.empty());
    ASSERT_FALSE(lines.empty());
    EXPECT_NE(lines.back().find("lost"), std::string::npos);

    pty.stationBaud = 2400;
    pty.input = BaudSentenceCommand(4800).bytes();
    ASSERT_TRUE(t.step());
    EXPECT_EQ(device.lineRate(), 4800);
    pty.input = PageAllCommand().bytes();
    ASSERT_TRUE(t.step());  // the station has not changed over yet: lost
    EXPECT_TRUE(pty.output.empty());
    pty.stationBaud = 4800;
    pty.input = PageAllCommand().bytes();
    ASSERT_TRUE(t.step());
    EXPECT_EQ(pty.output.size(), 10u);
}

TEST(PtyTransportTest, SlowBytesLeaveOneAtATime) {
    ManualClock host(noon());
    SimSettings s = settingsFor(SimModel::QN510, {1, 2, 3}, noon());
    s.faults.slowBytesMs = 50;
    SimulatedTimeSwitch device(s, host);
    FakePty pty;
    PtyTransport t(pty, device, host, nullptr);
    pty.input = ReadCommand(1, 2, 3, false).text();
    ASSERT_TRUE(t.step());
    EXPECT_EQ(pty.output.size(), 1u);
    for (size_t expected = 2; expected <= 16; ++expected) {
        host.advanceMs(49);
        ASSERT_TRUE(t.step());
        EXPECT_EQ(pty.output.size(), expected - 1);
        host.advanceMs(1);
        ASSERT_TRUE(t.step());
        EXPECT_EQ(pty.output.size(), expected);
    }
    EXPECT_EQ(pty.output[0], 'S');
}

TEST(PtyTransportTest, BytesTheLineRefusesAreSentLater) {
    ManualClock host(noon());
    SimulatedTimeSwitch device(settingsFor(SimModel::QN510, {1, 2, 3}, noon()), host);
    FakePty pty;
    pty.writeLimit = 5;
    PtyTransport t(pty, device, host, nullptr);
    pty.input = ReadCommand(1, 2, 3, false).text();
    for (int i = 0; i < 4; ++i) ASSERT_TRUE(t.step());
    EXPECT_EQ(pty.output.size(), 16u);
}

// A listener whose connections the test feeds by hand.
class FakeConnection final : public TcpConnection {
  public:
    std::string input;
    std::string output;
    bool peerClosed = false;
    bool open = true;
    long receive(unsigned char* buffer, std::size_t capacity) override {
        if (input.empty()) return peerClosed ? -1 : 0;
        size_t n = std::min(capacity, input.size());
        std::copy(input.begin(), input.begin() + static_cast<long>(n), buffer);
        input.erase(0, n);
        return static_cast<long>(n);
    }
    long send(const unsigned char* bytes, std::size_t count) override {
        output.append(reinterpret_cast<const char*>(bytes), count);
        return static_cast<long>(count);
    }
    void close() override { open = false; }
    bool isOpen() const override { return open; }
    const std::string& peer() const override { return peer_; }

  private:
    std::string peer_ = "127.0.0.1:5555";
};

class FakeListener final : public TcpListener {
  public:
    std::deque<std::unique_ptr<TcpConnection>> waiting;
    bool listen(const std::string&, unsigned) override { return true; }
    unsigned port() const override { return 2001; }
    std::unique_ptr<TcpConnection> accept() override {
        if (waiting.empty()) return nullptr;
        auto c = std::move(waiting.front());
        waiting.pop_front();
        return c;
    }
    void close() override {}
    const std::string& errorText() const override { return text_; }

  private:
    std::string text_;
};

TEST(TcpTransportTest, EachConnectionGetsTheRepliesToItsOwnBytes) {
    ManualClock host(noon());
    SimulatedTimeSwitch a(settingsFor(SimModel::QN510, {1, 2, 3}, noon()), host);
    SimulatedTimeSwitch b(settingsFor(SimModel::Strider, {1, 2, 4}, noon()), host);
    FakeListener listener;
    auto first = std::make_unique<FakeConnection>();
    auto second = std::make_unique<FakeConnection>();
    FakeConnection* one = first.get();
    FakeConnection* two = second.get();
    listener.waiting.push_back(std::move(first));
    listener.waiting.push_back(std::move(second));
    std::vector<std::string> lines;
    TcpTransport t(listener, {&a, &b}, host, 0, [&](const std::string& l) { lines.push_back(l); });

    one->input = ReadCommand(1, 2, 4, false).text();
    two->input = ReadCommand(1, 2, 0, false).text();
    t.step();
    EXPECT_EQ(t.connectionCount(), 2u);
    ASSERT_EQ(one->output.size(), 16u);
    EXPECT_EQ(one->output[6], 'a');
    ASSERT_EQ(two->output.size(), 32u);
    EXPECT_EQ(two->output[6], 'C');
    EXPECT_EQ(two->output[16 + 6], 'a');

    one->peerClosed = true;
    t.step();
    EXPECT_EQ(t.connectionCount(), 1u);
    EXPECT_NE(lines.back().find("closed"), std::string::npos);
}

}  // namespace
}  // namespace quirn::sim
