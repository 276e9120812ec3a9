#include "sim/TcpTransport.h"

namespace quirn::sim {

namespace {

constexpr size_t kReadChunk = 4096;
constexpr int kMaxReadsPerStep = 16;
constexpr int kMaxAcceptsPerStep = 16;
constexpr size_t kMaxLinks = 64;

}  // namespace

TcpTransport::TcpTransport(TcpListener& listener, std::vector<SimulatedTimeSwitch*> devices,
                           const Clock& host, int slowBytesMs, LogSink log)
    : listener_(listener),
      devices_(std::move(devices)),
      host_(host),
      slowBytesMs_(slowBytesMs),
      log_(std::move(log)) {}

void TcpTransport::step() {
    for (int i = 0; i < kMaxAcceptsPerStep && links_.size() < kMaxLinks; ++i) {
        std::unique_ptr<TcpConnection> c = listener_.accept();
        if (!c) break;
        if (log_) log_("connection from " + c->peer());
        links_.push_back({std::move(c), ReplyPacer(slowBytesMs_)});
    }
    unsigned char buffer[kReadChunk];
    for (Link& link : links_) {
        bool closed = false;
        for (int i = 0; i < kMaxReadsPerStep; ++i) {
            long n = link.connection->receive(buffer, sizeof buffer);
            if (n < 0) {
                closed = true;
                break;
            }
            if (n == 0) break;
            std::string_view bytes(reinterpret_cast<const char*>(buffer), static_cast<size_t>(n));
            for (SimulatedTimeSwitch* d : devices_)
                link.pacer.add(d->receive(bytes), host_.nowMs());
        }
        std::string due = link.pacer.due(host_.nowMs());
        if (!due.empty()) {
            long sent = link.connection->send(reinterpret_cast<const unsigned char*>(due.data()),
                                              due.size());
            if (sent < 0)
                closed = true;
            else if (static_cast<size_t>(sent) < due.size())
                link.pacer.putBack(std::string_view(due).substr(static_cast<size_t>(sent)));
        }
        if (closed) {
            if (log_) log_("connection from " + link.connection->peer() + " closed");
            link.connection->close();
        }
    }
    std::erase_if(links_, [](const Link& l) { return !l.connection->isOpen(); });
    for (SimulatedTimeSwitch* d : devices_) d->tick();
}

}  // namespace quirn::sim
