#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "platform/Clock.h"
#include "platform/LocalTime.h"
#include "platform/TcpClientSocket.h"
#include "protocol/BcdCommands.h"
#include "protocol/ProgramImage.h"
#include "tests/support/SimProcess.h"
#include "tests/support/TempFolder.h"

namespace quirn::sim {
namespace {

using test::SimProcess;

constexpr int kPollMs = 5;
constexpr int kReplyWaitMs = 2000;
constexpr const char* kAddress = "127.0.0.3";
// A quarter second an hour: two minutes over twenty days.
constexpr const char* kDrift = "0.25";
constexpr int kDays = 20;
constexpr std::time_t kSecondsPerDayT = 24 * 60 * 60;
constexpr std::time_t kDriftOverDays = 120;

long long steadyMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

bool connected(TcpClientSocket& s, unsigned port) {
    if (!s.connect(kAddress, port)) return false;
    const long long deadline = steadyMs() + kReplyWaitMs;
    while (steadyMs() < deadline) {
        const TcpClientSocket::Status st = s.poll();
        if (st == TcpClientSocket::Status::Connected) return true;
        if (st == TcpClientSocket::Status::Failed) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
    }
    return false;
}

bool sent(TcpClientSocket& s, const std::string& bytes) {
    return s.send(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()) ==
           static_cast<long>(bytes.size());
}

// The switch's image for a read, or what came of it within the wait.
std::string readImage(TcpClientSocket& s) {
    if (!sent(s, MX40ReadCommand(1, 1, 1).bytes())) return {};
    std::string out;
    const long long deadline = steadyMs() + kReplyWaitMs;
    unsigned char buffer[1024];
    while (out.size() < ProgramImage::kSize && steadyMs() < deadline) {
        const long n = s.receive(buffer, sizeof buffer);
        if (n > 0)
            out.append(reinterpret_cast<const char*>(buffer), static_cast<size_t>(n));
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
    }
    return out;
}

std::time_t clockOf(const std::string& image) {
    return ProgramImage(std::span(reinterpret_cast<const uint8_t*>(image.data()), image.size()))
        .clock();
}

// The real program: an MX40 set to the time in its time file reads that time back, and twenty
// days later in the file (a second later in real time) it reads twenty days on plus its drift.
TEST(SimTimeFilePosix, AnMx40sClockAndItsDriftFollowTheTimeFile) {
    test::TempFolder folder;
    const std::string timeFile = folder.file("time");
    const std::time_t given = fromLocal(2026, 12, 9, 10, 0, 0);
    ASSERT_TRUE(test::writeFile(timeFile, std::to_string(given)));
    SimProcess sim(QUIRN_SIM_BINARY,
                   {"--model", "MX40", "--address", "1,1,1", "--tcp", std::string(kAddress) + ":0",
                    "--time-file", timeFile, "--drift", kDrift},
                   folder.file("sim.err"));
    const std::string where = sim.firstLine();
    const std::size_t colon = where.rfind(':');
    ASSERT_NE(colon, std::string::npos) << test::readTextFile(folder.file("sim.err"));
    std::unique_ptr<TcpClientSocket> client = createTcpClientSocket();
    ASSERT_TRUE(connected(*client, static_cast<unsigned>(std::stoul(where.substr(colon + 1)))));

    const ManualClock station(given);
    ASSERT_TRUE(sent(*client, BcdTimeCommand(1, 1, 1, station).bytes()));
    const std::string first = readImage(*client);
    ASSERT_EQ(first.size(), ProgramImage::kSize);
    EXPECT_EQ(clockOf(first), given);

    const std::time_t later = given + kDays * kSecondsPerDayT;
    ASSERT_TRUE(test::writeFile(timeFile, std::to_string(later)));
    const std::string second = readImage(*client);
    ASSERT_EQ(second.size(), ProgramImage::kSize);
    EXPECT_EQ(clockOf(second), later + kDriftOverDays);
    client->close();
    EXPECT_EQ(sim.stop(), 0);
}

}  // namespace
}  // namespace quirn::sim
