#include "comms/IpSocket.h"

namespace quirn {

using Status = TcpClientSocket::Status;

IpSocket::IpSocket(std::string address, unsigned port, std::unique_ptr<TcpClientSocket> socket)
    : address_(std::move(address)),
      port_(port),
      socket_(socket ? std::move(socket) : createTcpClientSocket()) {}

IpSocket::~IpSocket() {
    close();
}

void IpSocket::connect() {
    if (state_ != kNotCreated) return;
    state_ = socket_->connect(address_, port_) ? kConnecting : kClosed;
    poll();
}

bool IpSocket::send(const unsigned char* bytes, std::size_t count) {
    if (!bytes || count == 0) return true;
    if (pending_.size() + count > kPendingLimit) return false;
    pending_.append(reinterpret_cast<const char*>(bytes), count);
    if (state_ == kConnected) sendPending();
    return true;
}

void IpSocket::sendPending() {
    if (pending_.empty()) return;
    long n =
        socket_->send(reinterpret_cast<const unsigned char*>(pending_.data()), pending_.size());
    if (n > 0) pending_.erase(0, static_cast<std::size_t>(n));
}

std::size_t IpSocket::receive(unsigned char* buffer, std::size_t capacity) {
    if (state_ == kNotCreated || state_ == kConnecting) return 0;
    long n = socket_->receive(buffer, capacity);
    return n > 0 ? static_cast<std::size_t>(n) : 0;
}

IpSocket::State IpSocket::poll() {
    if (state_ == kNotCreated || state_ == kClosed) return state_;
    Status status = socket_->poll();
    if (state_ == kConnecting) {
        // A peer that answered and closed at once still connected first.
        if (status == Status::Connected || status == Status::PeerClosed) {
            state_ = kConnected;
            sendPending();
        } else if (status != Status::Connecting) {
            state_ = kClosed;
        }
        return state_;
    }
    if (status == Status::Connected) {
        sendPending();
    } else if (status != Status::Connecting) {
        state_ = kClosed;
    }
    return state_;
}

void IpSocket::close() {
    if (state_ == kNotCreated) return;
    sendPending();
    socket_->close();
    state_ = kClosed;
}

}  // namespace quirn
