#include "tests/validationrun/PosixRadioChannel.h"

namespace quirn::test {

namespace {
constexpr int kNewYorkHoursWest = 5;
}

void RadioChannel::addSwitch(int location, bool silent) {
    sim::SimSettings s;
    s.model = sim::SimModel::QN510;
    s.address = {1, 1, location};
    s.zone = sim::ZoneRule::northAmerican(kNewYorkHoursWest);
    s.clock.start = clock_.now();
    s.faults.noAnswer = silent;
    auto device = std::make_unique<sim::SimulatedTimeSwitch>(s, clock_);
    // Every answer is logged, a withheld one too: each is a read request heard.
    device->setLogSink([this, location](const std::string& line) {
        if (line.find(" tx ") != std::string::npos) ++requests_[location];
    });
    switches_[location] = std::move(device);
}

void RadioChannel::serve(int waitMs) {
    const std::string heard = pty_.receive(1, waitMs);
    std::string replies;
    for (auto& [location, device] : switches_) {
        if (!heard.empty()) {
            std::string reply = device->receive(heard);
            if (!reply.empty()) {
                ++answers_[location];
                replies += reply;
            }
        }
        device->tick();
    }
    if (!replies.empty()) pty_.send(replies);
}

int RadioChannel::answers(int location) const {
    auto it = answers_.find(location);
    return it == answers_.end() ? 0 : it->second;
}

int RadioChannel::readRequests(int location) const {
    auto it = requests_.find(location);
    return it == requests_.end() ? 0 : it->second;
}

}  // namespace quirn::test
