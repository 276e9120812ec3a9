#pragma once
#include <cstddef>
#include <memory>
#include <string>

#include "platform/TcpClientSocket.h"

namespace quirn {

// The TCP connection of one IP table entry. The platform socket never blocks; poll() (run by
// the entry's step) plays the connect, send and close notifications, so the entry's state
// machine sees the same states as with asynchronous sockets.
class IpSocket {
  public:
    enum State { kNotCreated = 0, kClosed = 1, kConnecting = 2, kConnected = 3 };
    // Bytes handed over but not yet taken by the system are capped; send() refuses beyond.
    static constexpr std::size_t kPendingLimit = 16000;

    IpSocket(std::string address, unsigned port, std::unique_ptr<TcpClientSocket> socket);
    ~IpSocket();
    IpSocket(const IpSocket&) = delete;
    IpSocket& operator=(const IpSocket&) = delete;

    // Only from kNotCreated: starts a non-blocking connect; kConnecting, or kClosed at once
    // when the address is not usable.
    void connect();
    // Sends at once when connected, else keeps the bytes until the connection is made. A part
    // the system does not take at once goes out at the following polls. False when refused.
    bool send(const unsigned char* bytes, std::size_t count);
    bool send(const std::string& bytes) {
        return send(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    }
    // Takes up to `capacity` received bytes without waiting; 0 when none are there.
    std::size_t receive(unsigned char* buffer, std::size_t capacity);
    // Learns how the connection is doing and sends what is still pending.
    State poll();
    // kClosed; both directions shut down. Pending bytes not yet taken are dropped.
    void close();
    State state() const { return state_; }
    std::size_t pendingBytes() const { return pending_.size(); }

  private:
    void sendPending();
    std::string address_;
    unsigned port_;
    State state_ = kNotCreated;
    std::string pending_;
    std::unique_ptr<TcpClientSocket> socket_;
};

}  // namespace quirn
