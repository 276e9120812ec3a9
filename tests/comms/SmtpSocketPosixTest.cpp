// The blocking socket under the SMTP client, against loopback listeners (POSIX test fixture).
#include <gtest/gtest.h>

#include <chrono>

#include "platform/BlockingTcpSocket.h"
#include "tests/support/LoopbackServer.h"

namespace quirn {
namespace {

constexpr const char* kLoopback = "127.0.0.1";
constexpr int kShortMs = 200;

long long elapsedMs(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 since)
        .count();
}

TEST(SmtpSocket, BytesGoBothWaysAndAPeerCloseIsSeen) {
    test::LoopbackServer server(kLoopback);
    ASSERT_TRUE(server.ok());
    auto socket = makeBlockingTcpSocket();
    ASSERT_EQ(socket->connect(kLoopback, server.port(), kShortMs), SocketStatus::Ok);
    EXPECT_TRUE(socket->isOpen());
    ASSERT_TRUE(server.waitForConnections(1));
    EXPECT_EQ(socket->sendAll("HELO x\r\n", kShortMs), SocketStatus::Ok);
    EXPECT_TRUE(server.waitForBytes(0, 8));
    EXPECT_EQ(server.received(0), "HELO x\r\n");

    ASSERT_TRUE(server.send(0, "250 ok\r\n"));
    char buffer[4];
    std::size_t got = 0;
    std::string text;
    for (int i = 0; i < 8 && text.size() < 8; ++i) {
        ASSERT_EQ(socket->receive(buffer, sizeof buffer, got, kShortMs), SocketStatus::Ok);
        EXPECT_LE(got, sizeof buffer);
        text.append(buffer, got);
    }
    EXPECT_EQ(text, "250 ok\r\n");

    server.closeConnection(0);
    EXPECT_EQ(socket->receive(buffer, sizeof buffer, got, kShortMs), SocketStatus::Closed);
    EXPECT_EQ(got, 0u);
    socket->close();
    EXPECT_FALSE(socket->isOpen());
    EXPECT_EQ(socket->sendAll("x", kShortMs), SocketStatus::Failed);
}

TEST(SmtpSocket, WaitsEndAtTheTimeOut) {
    test::LoopbackServer server(kLoopback);
    ASSERT_TRUE(server.ok());
    auto socket = makeBlockingTcpSocket();
    ASSERT_EQ(socket->connect(kLoopback, server.port(), kShortMs), SocketStatus::Ok);

    char buffer[16];
    std::size_t got = 0;
    auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(socket->receive(buffer, sizeof buffer, got, kShortMs), SocketStatus::TimedOut);
    EXPECT_GE(elapsedMs(started), kShortMs - 20);
    EXPECT_LT(elapsedMs(started), kShortMs * 5);

    // A peer that never reads fills the buffers: the send gives up at the time-out.
    const std::string block(8 * 1024 * 1024, 'x');
    started = std::chrono::steady_clock::now();
    EXPECT_EQ(socket->sendAll(block, kShortMs), SocketStatus::TimedOut);
    EXPECT_LT(elapsedMs(started), kShortMs * 5);
}

TEST(SmtpSocket, NoListenerOrNoHostFailsAndLeavesItClosed) {
    unsigned port = 0;
    {
        test::LoopbackServer gone(kLoopback);
        ASSERT_TRUE(gone.ok());
        port = gone.port();
    }
    auto socket = makeBlockingTcpSocket();
    EXPECT_EQ(socket->connect(kLoopback, port, kShortMs), SocketStatus::Failed);
    EXPECT_FALSE(socket->isOpen());
    EXPECT_EQ(socket->connect("", port, kShortMs), SocketStatus::Failed);
    EXPECT_FALSE(socket->isOpen());
}

TEST(SmtpSocket, HostNameIsBounded) {
    EXPECT_FALSE(localHostName(80).empty());
    EXPECT_LE(localHostName(3).size(), 3u);
}

}  // namespace
}  // namespace quirn
