#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "platform/TcpClientSocket.h"
#include "tests/support/LoopbackServer.h"

namespace quirn {
namespace {

using test::LoopbackServer;
using Status = TcpClientSocket::Status;

// Polls until the status leaves Connecting (bounded: loopback settles in well under 1 s).
Status settle(TcpClientSocket& socket) {
    Status s = socket.poll();
    for (int i = 0; i < 500 && s == Status::Connecting; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        s = socket.poll();
    }
    return s;
}

std::string receiveSome(TcpClientSocket& socket, std::size_t count) {
    std::string out;
    unsigned char buffer[1024];
    for (int i = 0; i < 500 && out.size() < count; ++i) {
        long n = socket.receive(buffer, sizeof buffer);
        if (n > 0)
            out.append(reinterpret_cast<char*>(buffer), static_cast<std::size_t>(n));
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        if (n < 0) break;
    }
    return out;
}

TEST(PosixTcpClientSocket, ConnectsSendsReceivesAndCloses) {
    LoopbackServer server("127.0.0.1");
    ASSERT_TRUE(server.ok());
    auto socket = createTcpClientSocket();
    EXPECT_EQ(socket->poll(), Status::Idle);
    ASSERT_TRUE(socket->connect("127.0.0.1", server.port()));
    ASSERT_EQ(settle(*socket), Status::Connected);
    ASSERT_TRUE(server.waitForConnections(1));

    const unsigned char message[] = {'@', 'T', 0, 0xff, '#'};
    EXPECT_EQ(socket->send(message, sizeof message), 5);
    ASSERT_TRUE(server.waitForBytes(0, 5));
    EXPECT_EQ(server.received(0), std::string(reinterpret_cast<const char*>(message), 5));

    unsigned char buffer[8];
    EXPECT_EQ(socket->receive(buffer, sizeof buffer), 0);  // nothing yet: returns at once
    ASSERT_TRUE(server.send(0, "reply"));
    EXPECT_EQ(receiveSome(*socket, 5), "reply");

    socket->close();
    EXPECT_EQ(socket->poll(), Status::Idle);
    EXPECT_TRUE(server.waitForPeerClose(0));
    EXPECT_EQ(socket->send(message, 1), -1);
}

TEST(PosixTcpClientSocket, ARefusedConnectFails) {
    unsigned port;
    {
        LoopbackServer probe("127.0.0.7");
        ASSERT_TRUE(probe.ok());
        port = probe.port();
    }  // closed again: nothing listens on the port now
    auto socket = createTcpClientSocket();
    ASSERT_TRUE(socket->connect("127.0.0.7", port));
    EXPECT_EQ(settle(*socket), Status::Failed);
    unsigned char b[4];
    EXPECT_EQ(socket->receive(b, sizeof b), -1);
}

TEST(PosixTcpClientSocket, RejectsBadAddressesAndPorts) {
    auto socket = createTcpClientSocket();
    for (const char* address : {"", "127.0.0", "localhost", "127.0.0.256", "1.2.3.4.5"}) {
        EXPECT_FALSE(socket->connect(address, 2001)) << address;
        EXPECT_EQ(socket->poll(), Status::Failed) << address;
    }
    EXPECT_FALSE(socket->connect("127.0.0.1", 70000));
}

TEST(PosixTcpClientSocket, NoticesThePeerClosingAfterItsReply) {
    LoopbackServer server("127.0.0.3");
    ASSERT_TRUE(server.ok());
    auto socket = createTcpClientSocket();
    ASSERT_TRUE(socket->connect("127.0.0.3", server.port()));
    ASSERT_EQ(settle(*socket), Status::Connected);
    ASSERT_TRUE(server.waitForConnections(1));
    ASSERT_TRUE(server.send(0, "last words"));
    server.closeConnection(0);
    Status s = Status::Connected;
    for (int i = 0; i < 500 && s == Status::Connected; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        s = socket->poll();
    }
    EXPECT_EQ(s, Status::PeerClosed);
    EXPECT_EQ(receiveSome(*socket, 10), "last words");
    unsigned char b[4];
    EXPECT_EQ(socket->receive(b, sizeof b), -1);
}

}  // namespace
}  // namespace quirn
