// A simulated time switch of each model fed whatever the line carries: the first byte picks
// the model and the piece size, the rest arrives in pieces with time passing between them.
// Paged text, BCD commands, sentences, reads and the time messages all go through the
// switch's own parsers; none may crash, no answer is longer than the longest message of the
// protocol, and the relay always reads as one of the model's codes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/Clock.h"
#include "sim/SimulatedTimeSwitch.h"

namespace {
constexpr std::size_t kLongestAnswer = 4000;
constexpr quirn::sim::SimModel kModels[] = {quirn::sim::SimModel::QN510,
                                            quirn::sim::SimModel::Strider,
                                            quirn::sim::SimModel::MX40, quirn::sim::SimModel::LR40};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    quirn::sim::SimSettings settings;
    settings.model = kModels[data[0] % 4];
    const std::size_t piece = 1 + (data[0] >> 2);
    std::string_view line(reinterpret_cast<const char*>(data) + 1, size - 1);
    quirn::ManualClock host(1'796'000'000);  // early December 2026
    quirn::sim::SimulatedTimeSwitch device(settings, host);
    for (std::size_t at = 0; at < line.size(); at += piece) {
        std::string answer = device.receive(line.substr(at, piece));
        if (answer.size() > kLongestAnswer) std::abort();
        host.advanceMs(700);
        device.tick();
        if (device.relayCode() < 0 || device.relayCode() > 3) std::abort();
    }
    host.advance(24 * 60 * 60);
    device.tick();
    return 0;
}
