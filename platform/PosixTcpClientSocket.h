#pragma once
#include "platform/TcpClientSocket.h"

namespace quirn {

// TcpClientSocket on a POSIX non-blocking stream socket; poll() with a zero time-out stands
// in for the connect and close notifications.
class PosixTcpClientSocket final : public TcpClientSocket {
  public:
    PosixTcpClientSocket() = default;
    ~PosixTcpClientSocket() override;
    PosixTcpClientSocket(const PosixTcpClientSocket&) = delete;
    PosixTcpClientSocket& operator=(const PosixTcpClientSocket&) = delete;

    bool connect(const std::string& address, unsigned port) override;
    Status poll() override;
    long send(const unsigned char* bytes, std::size_t count) override;
    long receive(unsigned char* buffer, std::size_t capacity) override;
    void close() override;

  private:
    void closeDescriptor();
    int fd_ = -1;
    Status status_ = Status::Idle;
};

}  // namespace quirn
