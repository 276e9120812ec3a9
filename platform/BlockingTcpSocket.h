#pragma once
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "platform/CancelSignal.h"

namespace quirn {

// Outcome of one blocking socket call.
enum class SocketStatus {
    Ok,        // the call did what was asked
    TimedOut,  // nothing (or not everything) happened within the time-out
    Closed,    // the peer closed the connection
    Failed,    // any other error (name not found, refused, reset, not open)
};

// A blocking TCP client connection whose every wait is bounded, for short request-reply
// dialogues (mail) that run on the caller's thread. One object serves one connection at a
// time; it may be connected again after close(). No call ever throws.
class BlockingTcpSocket {
  public:
    virtual ~BlockingTcpSocket() = default;

    // Resolves host (name or dotted address) and connects to port, waiting at most timeoutMs
    // for the connection to be made (name resolution itself is the system's and is not
    // bounded). Ok when connected; on any failure the socket is left closed.
    virtual SocketStatus connect(const std::string& host, unsigned port, int timeoutMs) = 0;

    // Sends every byte, waiting at most timeoutMs in all. Ok only when all bytes went out;
    // after any other result an unknown prefix may have been sent.
    virtual SocketStatus sendAll(std::string_view bytes, int timeoutMs) = 0;

    // Waits at most timeoutMs for bytes and stores up to capacity of them in buffer;
    // received is the count stored (non-zero only with Ok). Closed when the peer ended the
    // connection before any byte arrived.
    virtual SocketStatus receive(char* buffer, std::size_t capacity, std::size_t& received,
                                 int timeoutMs) = 0;

    // Closes the connection; harmless when not open.
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
};

// The platform's implementation (POSIX sockets here; a Win32 backend fills the same interface).
// With `cancel`, every wait also ends (Failed) as soon as that signal is raised.
std::unique_ptr<BlockingTcpSocket> makeBlockingTcpSocket(const CancelSignal* cancel = nullptr);

// This computer's host name, at most maxLength characters; "localhost" when it is unknown.
std::string localHostName(std::size_t maxLength);

}  // namespace quirn
