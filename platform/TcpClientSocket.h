#pragma once
#include <cstddef>
#include <memory>
#include <string>

namespace quirn {

// A non-blocking TCP client connection whose progress the caller polls from its periodic
// tick, in place of asynchronous socket notifications. No call waits for the network.
class TcpClientSocket {
  public:
    enum class Status {
        Idle,        // nothing started, or closed by close()
        Connecting,  // connect started, outcome not known yet
        Connected,   // connected; the peer may still send and receive
        Failed,      // the connect failed or the connection broke
        PeerClosed,  // the peer closed its side; buffered reply bytes can still be received
    };

    virtual ~TcpClientSocket() = default;

    // Starts a connect to a dotted IPv4 address and port. False (status Failed) when the
    // address is not a dotted IPv4 text or no socket could be made; a refused connect may
    // also show up only at a later poll().
    virtual bool connect(const std::string& address, unsigned port) = 0;
    // Finds out how the connection is doing; never waits.
    virtual Status poll() = 0;
    // Hands bytes to the system without waiting; returns the count taken (possibly fewer than
    // `count` when the system's send buffer is full, 0 while still connecting), -1 on failure.
    virtual long send(const unsigned char* bytes, std::size_t count) = 0;
    // Takes at most `capacity` received bytes without waiting; 0 when none are waiting, -1 when
    // the connection is gone and nothing is left to read.
    virtual long receive(unsigned char* buffer, std::size_t capacity) = 0;
    // Shuts down both directions and closes; status Idle. Bytes already handed to the system
    // still go out. Harmless when not connected.
    virtual void close() = 0;
};

// The TCP client backend of this platform.
std::unique_ptr<TcpClientSocket> createTcpClientSocket();

}  // namespace quirn
