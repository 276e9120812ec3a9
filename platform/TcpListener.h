#pragma once
#include <cstddef>
#include <memory>
#include <string>

namespace quirn {

// One accepted TCP connection, polled without waiting.
class TcpConnection {
  public:
    virtual ~TcpConnection() = default;
    // Takes at most `capacity` received bytes; 0 when none are waiting, -1 when the peer has
    // closed (and nothing is left) or the connection failed.
    virtual long receive(unsigned char* buffer, std::size_t capacity) = 0;
    // Hands bytes to the system; the count taken (possibly fewer), -1 on failure. Never raises
    // a signal when the peer is gone.
    virtual long send(const unsigned char* bytes, std::size_t count) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // "address:port" of the peer.
    virtual const std::string& peer() const = 0;
};

// A listening TCP socket on one IPv4 address, accepting without waiting.
class TcpListener {
  public:
    virtual ~TcpListener() = default;
    // Binds a dotted IPv4 address and port (0 picks a free port) and listens. False when the
    // address is not dotted IPv4 or the system refuses; errorText() says why.
    virtual bool listen(const std::string& address, unsigned port) = 0;
    // The port bound; 0 when not listening.
    virtual unsigned port() const = 0;
    // The next waiting connection, or null when none is waiting.
    virtual std::unique_ptr<TcpConnection> accept() = 0;
    virtual void close() = 0;
    virtual const std::string& errorText() const = 0;
};

// The listening-socket backend of this platform.
std::unique_ptr<TcpListener> createTcpListener();

}  // namespace quirn
