// The simulator's framer between the station's bytes and its messages. Fed in pieces whose
// sizes the input chooses, every byte comes out in exactly one frame, in order, none invented,
// and no frame is longer than the longest message.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "sim/InputFramer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    // The first byte chooses the piece size (1 to 64), the rest is the stream.
    const std::size_t piece = 1 + data[0] % 64;
    std::string_view stream(reinterpret_cast<const char*>(data) + 1, size - 1);
    quirn::sim::InputFramer framer;
    std::string out;
    long long nowMs = 0;
    auto take = [&](const std::vector<quirn::sim::Frame>& frames) {
        for (const auto& frame : frames) {
            if (frame.bytes.empty() || frame.bytes.size() > quirn::sim::InputFramer::kMaxPending)
                std::abort();
            out += frame.bytes;
        }
    };
    for (std::size_t at = 0; at < stream.size(); at += piece) {
        take(framer.push(stream.substr(at, piece), nowMs));
        nowMs += 10;
    }
    take(framer.expire(nowMs + quirn::sim::InputFramer::kStaleMs + 1));
    if (framer.pendingCount() != 0 || out != stream) std::abort();
    return 0;
}
