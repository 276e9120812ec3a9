// The mail client against a server that says anything: the input is what the server sends,
// handed over in pieces the input chooses, and then the connection ends. Whatever it says, the
// dialogue ends (no wait beyond the time-outs of the clock), a failure always gives its
// reason, and success needs the server to have accepted the message.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "comms/SmtpClient.h"
#include "platform/Clock.h"

namespace {

// A connection whose far end plays back the fuzz input, then hangs up. Every wait moves the
// manual clock on by the time-out it was given, as a silent server would.
class ScriptedSocket final : public quirn::BlockingTcpSocket {
  public:
    ScriptedSocket(quirn::ManualClock& clock, std::string_view script, std::size_t piece)
        : clock_(clock), script_(script), piece_(piece) {}
    quirn::SocketStatus connect(const std::string&, unsigned, int) override {
        open_ = true;
        return quirn::SocketStatus::Ok;
    }
    quirn::SocketStatus sendAll(std::string_view, int) override {
        return open_ ? quirn::SocketStatus::Ok : quirn::SocketStatus::Failed;
    }
    quirn::SocketStatus receive(char* buffer, std::size_t capacity, std::size_t& received,
                                int timeoutMs) override {
        received = 0;
        if (!open_) return quirn::SocketStatus::Failed;
        if (script_.empty()) {
            clock_.advanceMs(timeoutMs);
            return quirn::SocketStatus::Closed;
        }
        received = std::min({capacity, piece_, script_.size()});
        std::memcpy(buffer, script_.data(), received);
        script_.remove_prefix(received);
        clock_.advanceMs(1);
        return quirn::SocketStatus::Ok;
    }
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }

  private:
    quirn::ManualClock& clock_;
    std::string_view script_;
    std::size_t piece_;
    bool open_ = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const std::size_t piece = 1 + data[0] % 32;
    std::string_view script(reinterpret_cast<const char*>(data) + 1, size - 1);
    quirn::ManualClock clock(1'800'000'000);
    auto socket = std::make_unique<ScriptedSocket>(clock, script, piece);
    quirn::SmtpClient client(clock, "127.0.0.1", quirn::SmtpClient::kDefaultPort,
                             std::move(socket));
    client.setTimeoutMs(1000);
    quirn::MailMessage message;
    message.from = "station@example.org";
    message.subject = "Start";
    message.body = "Station started.\r\n";
    message.addRecipients("Ann Lee <ann@example.org>;bob@example.org");
    bool connected = client.connect();
    if (!connected && client.lastError().empty()) std::abort();
    if (connected) {
        bool sent = client.sendMessage(message);
        if (!sent && client.lastError().empty()) std::abort();
        // A message is accepted only on a reply the server sent: there must have been one.
        if (sent && script.size() < 4) std::abort();
        client.disconnect();
    }
    return 0;
}
