#include "protocol/BcdCommands.h"

#include <algorithm>

#include "protocol/Bcd.h"

namespace quirn {

namespace {

constexpr int kFirstClockYear = 2008;  // earlier stored times are the placeholder
constexpr int kYearBase = 2000;
constexpr int kMaxRelayCode = 3;

std::string addressBytes(const CommandVorn& c) {
    return {static_cast<char>(toBcd(c.masterGroup())), static_cast<char>(toBcd(c.group())),
            static_cast<char>(toBcd(c.location()))};
}

char bcdChar(int value) {
    return static_cast<char>(toBcd(value));
}

}  // namespace

LocalDateTime BcdTimeCommand::effectiveTime() const {
    LocalDateTime stored = toLocal(when_);
    return stored.year >= kFirstClockYear ? stored : toLocal(clock_.now());
}

std::string BcdTimeCommand::bytes() const {
    LocalDateTime t = effectiveTime();
    std::string out = "$T" + addressBytes(*this);
    out += static_cast<char>(toTwelveHourBcd(t.hour));
    for (int v : {t.minute, t.second, t.weekday, t.month, t.day, t.year - kYearBase})
        out += bcdChar(v);
    return out;
}

int BcdRelayCommand::relayCode() const {
    int code = relay1_ + 2 * relay2_;
    return code >= 1 && code <= kMaxRelayCode ? code : 0;
}

std::string BcdRelayCommand::bytes() const {
    return "$M" + addressBytes(*this) + bcdChar(relayCode());
}

std::string MX40ReadCommand::bytes() const {
    return "C78" + addressBytes(*this);
}

std::string LR40ReadCommand::bytes() const {
    return "C79" + addressBytes(*this);
}

ProgramImageCommand::ProgramImageCommand(int masterGroup, int group, int location,
                                         std::span<const uint8_t> image)
    : BcdCommand(masterGroup, group, location) {
    std::copy_n(image.begin(), std::min(image.size(), image_.size()), image_.begin());
}

std::string ProgramImageCommand::bytes() const {
    return std::string(reinterpret_cast<const char*>(image_.data()), image_.size());
}

}  // namespace quirn
