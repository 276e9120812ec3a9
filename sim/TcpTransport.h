#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "platform/TcpListener.h"
#include "sim/ReplyPacer.h"
#include "sim/SimulatedTimeSwitch.h"

namespace quirn::sim {

// Simulated switches behind a listening TCP port on loopback: one WiFi time switch, or the
// M2M client with several cellular switches behind it. Every connection's bytes go to every
// switch (each keeps to its own address) and their replies go back on that connection.
class TcpTransport {
  public:
    using LogSink = std::function<void(const std::string&)>;

    TcpTransport(TcpListener& listener, std::vector<SimulatedTimeSwitch*> devices,
                 const Clock& host, int slowBytesMs, LogSink log);

    // One turn: accepts waiting connections, takes their bytes, answers, lets the switches'
    // time pass and sends the reply bytes now due.
    void step();
    size_t connectionCount() const { return links_.size(); }

  private:
    struct Link {
        std::unique_ptr<TcpConnection> connection;
        ReplyPacer pacer;
    };

    TcpListener& listener_;
    std::vector<SimulatedTimeSwitch*> devices_;
    const Clock& host_;
    int slowBytesMs_;
    LogSink log_;
    std::vector<Link> links_;
};

}  // namespace quirn::sim
