#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace quirn::test {

// A listening TCP socket on a loopback address (127.x.y.z only) standing in for a WiFi time
// switch or the M2M client. Single-threaded: the test calls accept/receive/send between ticks
// of the code under test; every wait is bounded.
class LoopbackServer {
  public:
    // Port 0 picks a free port. Addresses outside 127.0.0.0/8 are refused (ok() is false).
    explicit LoopbackServer(const std::string& address, unsigned port = 0);
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    bool ok() const { return listener_ >= 0; }
    unsigned port() const { return port_; }
    const std::string& address() const { return address_; }

    // Accepts every connection that is waiting; returns how many were accepted now.
    int acceptPending();
    // Waits up to `waitMs` for the number of accepted connections to reach `count`.
    bool waitForConnections(std::size_t count, int waitMs = 500);
    std::size_t connectionCount() const { return clients_.size(); }

    // Bytes received so far on connection `index` (reads what is waiting first).
    const std::string& received(std::size_t index);
    // Waits up to `waitMs` until connection `index` has received at least `count` bytes.
    bool waitForBytes(std::size_t index, std::size_t count, int waitMs = 500);
    // All bytes received on every connection, in connection order.
    std::string allReceived();
    // Sends bytes on connection `index`; false when not all could be sent.
    bool send(std::size_t index, const std::string& bytes);
    // Sends as much as the connection takes without waiting; returns the count sent.
    std::size_t sendWithoutWaiting(std::size_t index, const std::string& bytes);
    // True when the client has closed connection `index` (reads what is waiting first).
    bool peerClosed(std::size_t index);
    // Waits up to `waitMs` for the client to close connection `index`.
    bool waitForPeerClose(std::size_t index, int waitMs = 500);
    // Closes connection `index` from the server's side.
    void closeConnection(std::size_t index);
    // Resets connection `index` (an RST instead of an orderly close), as a crashed peer would.
    void resetConnection(std::size_t index);
    // Closes the listening socket: further connects are refused.
    void stopListening();

  private:
    struct Client {
        std::intptr_t fd;  // a descriptor, or a Winsock socket; -1 when closed
        std::string bytes;
        bool closed;
    };
    void readWaiting(Client& client);
    std::string address_;
    unsigned port_ = 0;
    std::intptr_t listener_ = -1;
    std::vector<Client> clients_;
};

}  // namespace quirn::test
