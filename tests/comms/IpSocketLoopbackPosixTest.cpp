#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "comms/IpSocket.h"
#include "tests/support/LoopbackServer.h"

namespace quirn {
namespace {

using test::LoopbackServer;

IpSocket::State pollWhileConnecting(IpSocket& socket) {
    IpSocket::State s = socket.poll();
    for (int i = 0; i < 1000 && s == IpSocket::kConnecting; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        s = socket.poll();
    }
    return s;
}

TEST(IpSocketLoopback, KeepsWhatIsSentBeforeTheConnectAndSendsItOnceConnected) {
    LoopbackServer server("127.0.0.4");
    ASSERT_TRUE(server.ok());
    IpSocket socket("127.0.0.4", server.port(), nullptr);
    EXPECT_EQ(socket.state(), IpSocket::kNotCreated);
    EXPECT_TRUE(socket.send(std::string("early ")));  // not created yet: kept
    socket.connect();
    EXPECT_TRUE(socket.send(std::string("bytes")));
    ASSERT_EQ(pollWhileConnecting(socket), IpSocket::kConnected);
    ASSERT_TRUE(server.waitForBytes(0, 11));
    EXPECT_EQ(server.received(0), "early bytes");
    EXPECT_EQ(socket.pendingBytes(), 0u);

    ASSERT_TRUE(server.send(0, "answer"));
    unsigned char buffer[16];
    std::size_t n = 0;
    for (int i = 0; i < 500 && n == 0; ++i) {
        n = socket.receive(buffer, sizeof buffer);
        if (n == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), n), "answer");
    socket.close();
    EXPECT_EQ(socket.state(), IpSocket::kClosed);
    EXPECT_TRUE(server.waitForPeerClose(0));
    socket.connect();  // only from "not created"
    EXPECT_EQ(socket.state(), IpSocket::kClosed);
}

TEST(IpSocketLoopback, CapsWhatWaitsForTheConnection) {
    IpSocket socket("127.0.0.4", 1, nullptr);
    std::string chunk(4000, 'x');
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(socket.send(chunk)) << i;
    EXPECT_FALSE(socket.send(chunk));
    EXPECT_EQ(socket.pendingBytes(), IpSocket::kPendingLimit);
}

TEST(IpSocketLoopback, APeerThatClosesAfterAnsweringStillLeavesItsAnswer) {
    LoopbackServer server("127.0.0.4");
    IpSocket socket("127.0.0.4", server.port(), nullptr);
    socket.connect();
    ASSERT_EQ(pollWhileConnecting(socket), IpSocket::kConnected);
    ASSERT_TRUE(server.waitForConnections(1));
    ASSERT_TRUE(server.send(0, "bye"));
    server.closeConnection(0);
    IpSocket::State s = socket.poll();
    for (int i = 0; i < 500 && s == IpSocket::kConnected; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        s = socket.poll();
    }
    EXPECT_EQ(s, IpSocket::kClosed);  // the close notification
    unsigned char buffer[8];
    std::size_t n = socket.receive(buffer, sizeof buffer);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), n), "bye");
    EXPECT_EQ(socket.receive(buffer, sizeof buffer), 0u);
}

TEST(IpSocketLoopback, AnUnusableAddressClosesAtOnce) {
    IpSocket socket("not an address", 2001, nullptr);
    socket.connect();
    EXPECT_EQ(socket.state(), IpSocket::kClosed);
}

}  // namespace
}  // namespace quirn
