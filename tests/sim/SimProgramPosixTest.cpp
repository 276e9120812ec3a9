#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "platform/Clock.h"
#include "platform/SerialDevice.h"
#include "platform/TcpClientSocket.h"
#include "protocol/BcdCommands.h"
#include "protocol/PagedCommands.h"
#include "protocol/SentenceCommands.h"
#include "protocol/WeekCommands.h"
#include "tests/support/SimProcess.h"
#include "tests/support/TempFolder.h"

namespace quirn::sim {
namespace {

using test::SimProcess;

constexpr int kStepMs = 5;
constexpr int kReplyWaitMs = 2000;

long long steadyMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// Reads from the serial device until `atLeast` bytes came or the wait ran out.
std::string readSerial(SerialDevice& port, size_t atLeast, int waitMs = kReplyWaitMs) {
    std::string out;
    const long long deadline = steadyMs() + waitMs;
    unsigned char buffer[1024];
    while (out.size() < atLeast && steadyMs() < deadline) {
        long n = port.read(buffer, sizeof buffer);
        if (n > 0)
            out.append(reinterpret_cast<const char*>(buffer), static_cast<size_t>(n));
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(kStepMs));
    }
    return out;
}

bool writeSerial(SerialDevice& port, const std::string& bytes) {
    return port.write(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()) ==
           static_cast<long>(bytes.size());
}

std::string readSocket(TcpClientSocket& s, size_t atLeast, int waitMs = kReplyWaitMs) {
    std::string out;
    const long long deadline = steadyMs() + waitMs;
    unsigned char buffer[1024];
    while (out.size() < atLeast && steadyMs() < deadline) {
        long n = s.receive(buffer, sizeof buffer);
        if (n > 0)
            out.append(reinterpret_cast<const char*>(buffer), static_cast<size_t>(n));
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(kStepMs));
    }
    return out;
}

bool connectSocket(TcpClientSocket& s, const std::string& address, unsigned port) {
    if (!s.connect(address, port)) return false;
    const long long deadline = steadyMs() + kReplyWaitMs;
    while (steadyMs() < deadline) {
        TcpClientSocket::Status st = s.poll();
        if (st == TcpClientSocket::Status::Connected) return true;
        if (st == TcpClientSocket::Status::Failed) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(kStepMs));
    }
    return false;
}

bool sendSocket(TcpClientSocket& s, const std::string& bytes) {
    return s.send(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()) ==
           static_cast<long>(bytes.size());
}

// "127.0.0.3:41234" -> port.
unsigned portOf(const std::string& where) {
    size_t colon = where.rfind(':');
    return colon == std::string::npos ? 0
                                      : static_cast<unsigned>(std::stoul(where.substr(colon + 1)));
}

class SimProgramPosix : public ::testing::Test {
  protected:
    test::TempFolder folder;
    std::string errPath() const { return folder.file("sim.err"); }
};

TEST_F(SimProgramPosix, PtyQn510TakesProgrammingAndAnswersRead) {
    SimProcess sim(
        QUIRN_SIM_BINARY,
        {"--model", "QN510", "--address", "1,1,2", "--pty", "--clock", "2026-03-16 07:15:00"},
        errPath());
    ASSERT_TRUE(sim.started());
    std::string path = sim.firstLine();
    ASSERT_EQ(path.rfind("/dev/", 0), 0u) << path << test::readTextFile(errPath());

    std::unique_ptr<SerialDevice> port = createSerialDevice();
    ASSERT_TRUE(port->open(path, kBaud2400)) << port->errorText();
    WeekDays week = {0, 0, 1, 1, 1, 1, 1, 0};
    std::vector<PlanStep> steps = {{1, 7, 0, 1}, {1, 8, 30, 0}};
    ASSERT_TRUE(writeSerial(*port, DefaultWeekCommand(1, 1, 2, false, week, steps).text()));
    ASSERT_TRUE(writeSerial(*port, ReadCommand(1, 1, 2, false).text()));
    std::string reply = readSerial(*port, 22);
    ASSERT_EQ(reply.size(), 22u) << test::readTextFile(errPath());
    EXPECT_EQ(reply[0], 'S');
    EXPECT_EQ(reply[1], 2);  // Monday
    EXPECT_EQ(reply[2], 7);
    EXPECT_EQ(reply[3], 15);
    EXPECT_EQ(static_cast<unsigned char>(reply[5]), 0x80);  // relay on since 07:00
    EXPECT_EQ(reply[6], 'C');
    EXPECT_EQ(reply[9], 2);  // two default week entries

    // The station may close and open the port again; the device stays.
    port->close();
    ASSERT_TRUE(port->open(path, kBaud2400)) << port->errorText();
    ASSERT_TRUE(writeSerial(*port, ReadCommand(1, 1, 2, false).text()));
    EXPECT_EQ(readSerial(*port, 22).size(), 22u);
    port->close();

    EXPECT_EQ(sim.stop(), 0);
    std::string log = test::readTextFile(errPath());
    EXPECT_NE(log.find("rx @D0102AH0AiU#33=>"), std::string::npos) << log;
    EXPECT_NE(log.find("compact reply"), std::string::npos) << log;
}

TEST_F(SimProgramPosix, PtyBaudChangeIsHonouredOrIgnoredOnRequest) {
    for (bool ignore : {false, true}) {
        std::vector<std::string> args = {"--model", "LR40", "--address", "1,7,3", "--pty"};
        if (ignore) args.push_back("--ignore-baud");
        SimProcess sim(QUIRN_SIM_BINARY, args, errPath());
        std::string path = sim.firstLine();
        ASSERT_FALSE(path.empty()) << test::readTextFile(errPath());
        std::unique_ptr<SerialDevice> port = createSerialDevice();
        ASSERT_TRUE(port->open(path, kBaud2400)) << port->errorText();
        ASSERT_TRUE(writeSerial(*port, BaudSentenceCommand(kBaud4800).bytes()));
        // The station changes over only once the switch has taken the sentence at the old rate.
        const std::string taken = ignore ? "ignored" : "line rate now 4800";
        const long long deadline = steadyMs() + kReplyWaitMs;
        while (test::readTextFile(errPath()).find(taken) == std::string::npos &&
               steadyMs() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(kStepMs));
        ASSERT_TRUE(port->open(path, kBaud4800)) << port->errorText();
        ASSERT_TRUE(writeSerial(*port, PageAllCommand().bytes()));
        std::string reply = readSerial(*port, 10, ignore ? 300 : kReplyWaitMs);
        if (ignore) {
            EXPECT_TRUE(reply.empty()) << reply;
        } else {
            EXPECT_EQ(reply.size(), 10u) << test::readTextFile(errPath());
        }
        port->close();
        EXPECT_EQ(sim.stop(), 0);
        std::string log = test::readTextFile(errPath());
        EXPECT_NE(log.find(taken), std::string::npos) << log;
    }
}

TEST_F(SimProgramPosix, TcpMx40AnswersItsImage) {
    SimProcess sim(QUIRN_SIM_BINARY,
                   {"--model", "MX40", "--address", "2,5,9", "--tcp", "127.0.0.3:0"}, errPath());
    std::string where = sim.firstLine();
    ASSERT_EQ(where.rfind("127.0.0.3:", 0), 0u) << where << test::readTextFile(errPath());
    std::unique_ptr<TcpClientSocket> client = createTcpClientSocket();
    ASSERT_TRUE(connectSocket(*client, "127.0.0.3", portOf(where)));
    ASSERT_TRUE(sendSocket(*client, MX40ReadCommand(2, 5, 9).bytes()));
    std::string image = readSocket(*client, 968);
    ASSERT_EQ(image.size(), 968u) << test::readTextFile(errPath());
    EXPECT_EQ(image.substr(0, 4), "MX40");
    EXPECT_EQ(image[4], 0x02);
    EXPECT_EQ(image[5], 0x05);
    EXPECT_EQ(image[6], 0x09);
    EXPECT_EQ(image[967], 'O');
    ASSERT_TRUE(sendSocket(*client, "K"));
    // Another group's read gets nothing.
    ASSERT_TRUE(sendSocket(*client, MX40ReadCommand(2, 6, 9).bytes()));
    EXPECT_TRUE(readSocket(*client, 1, 300).empty());
    client->close();
    EXPECT_EQ(sim.stop(), 0);
    std::string log = test::readTextFile(errPath());
    EXPECT_NE(log.find("acknowledgement"), std::string::npos) << log;
}

TEST_F(SimProgramPosix, M2mServesSeveralSwitches) {
    SimProcess sim(QUIRN_SIM_BINARY,
                   {"--m2m", "127.0.0.1:0", "--model", "QN510", "--address", "1,4,1", "--model",
                    "Strider", "--address", "1,4,2", "--activations", "25"},
                   errPath());
    std::string where = sim.firstLine();
    ASSERT_EQ(where.rfind("127.0.0.1:", 0), 0u) << where << test::readTextFile(errPath());
    std::unique_ptr<TcpClientSocket> client = createTcpClientSocket();
    ASSERT_TRUE(connectSocket(*client, "127.0.0.1", portOf(where)));
    ASSERT_TRUE(sendSocket(*client, ReadCommand(1, 4, 2, false).text()));
    std::string first = readSocket(*client, 16);
    ASSERT_EQ(first.size(), 16u);
    EXPECT_EQ(first[6], 'a');  // only the Strider answered
    // The three-block exchange: blocks 0 and 1 hold the 25 presses, then the log is cleared.
    for (int block = 0; block < 2; ++block) {
        ASSERT_TRUE(sendSocket(*client, PasswayLogRequestCommand(1, 4, 2, block, false).text()));
        std::string b = readSocket(*client, 125);
        ASSERT_EQ(b.size(), 125u);
        EXPECT_EQ(b[1], block);
        EXPECT_EQ(b[2], 1);
    }
    ASSERT_TRUE(sendSocket(*client, PasswayLogClearCommand(1, 4, 2, false).text()));
    ASSERT_TRUE(sendSocket(*client, ReadCommand(1, 4, 0, false).text()));
    std::string both = readSocket(*client, 32);
    ASSERT_EQ(both.size(), 32u);
    EXPECT_EQ(both[6], 'C');
    EXPECT_EQ(both[16 + 6], 'a');
    client->close();
    EXPECT_EQ(sim.stop(), 0);
    EXPECT_NE(test::readTextFile(errPath()).find("activation log cleared"), std::string::npos);
}

TEST_F(SimProgramPosix, RefusesAddressesOffThisMachine) {
    for (const char* where : {"0.0.0.0:2001", "192.0.2.4:2001", "localhost:2001"}) {
        SimProcess sim(QUIRN_SIM_BINARY, {"--model", "QN510", "--address", "1,1,1", "--tcp", where},
                       errPath());
        EXPECT_EQ(sim.waitExit(), 2) << where;
        EXPECT_NE(test::readTextFile(errPath()).find("loopback"), std::string::npos) << where;
    }
}

}  // namespace
}  // namespace quirn::sim
