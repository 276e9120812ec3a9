#pragma once
#include <string>

#include "platform/TcpListener.h"

namespace quirn {

// TcpListener on a POSIX non-blocking stream socket with SO_REUSEADDR.
class PosixTcpListener final : public TcpListener {
  public:
    PosixTcpListener() = default;
    ~PosixTcpListener() override;
    PosixTcpListener(const PosixTcpListener&) = delete;
    PosixTcpListener& operator=(const PosixTcpListener&) = delete;

    bool listen(const std::string& address, unsigned port) override;
    unsigned port() const override { return port_; }
    std::unique_ptr<TcpConnection> accept() override;
    void close() override;
    const std::string& errorText() const override { return errorText_; }

  private:
    bool fail(const char* what);
    int fd_ = -1;
    unsigned port_ = 0;
    std::string errorText_;
};

}  // namespace quirn
