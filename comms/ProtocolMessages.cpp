#include "comms/ProtocolMessages.h"

#include <array>
#include <cstdint>

#include "comms/CommsConstants.h"
#include "plans/Settings.h"
#include "protocol/Bcd.h"
#include "protocol/PlanDownload.h"
#include "protocol/ProgramImageLayout.h"
#include "protocol/RecordCommands.h"
#include "protocol/SentenceCommands.h"

namespace quirn {

ProtocolMessages::ProtocolMessages(const Clock& clock, const PlanDatabase& database,
                                   const Settings& settings, ProgrammingBuilder programming)
    : clock_(clock),
      database_(database),
      settings_(settings),
      programming_(std::move(programming)) {}

ProtocolMessages::ProgrammingBuilder ProtocolMessages::fromPlanDownload(PlanDownload& download) {
    return [&download](const Location& location) {
        std::string buffer(kMessageBufferSize, '\0');
        buffer.resize(download.locationProgram(location, buffer.data(), buffer.size()));
        return buffer;
    };
}

bool ProtocolMessages::hasMasterGroups() const {
    return settings_.hasMasterGroups != 0;
}

std::string ProtocolMessages::querySentence(const Location& location) const {
    // The query carries only the image's address bytes, which are the location's numbers.
    std::array<uint8_t, program_image::kAddress + program_image::kAddressLength> head{};
    head[program_image::kAddress] = toBcd(location.masterGroup);
    head[program_image::kAddress + 1] = toBcd(location.group);
    head[program_image::kAddress + 2] = toBcd(location.number);
    return QuerySentenceCommand(location.masterGroup, location.group, location.number, head)
        .bytes();
}

std::string ProtocolMessages::readRequest(const Location& location) const {
    if (location.isModel(TimeSwitchModel::MX40)) return mx40ReadCommand(location).bytes();
    if (location.isModel(TimeSwitchModel::LR40)) return lr40ReadCommand(location).bytes();
    return readCommand(location, hasMasterGroups()).bytes();
}

std::string ProtocolMessages::timeMessage(int masterGroup, int group) const {
    if (masterGroup == 0) return timeToEveryone(database_, clock_, hasMasterGroups()).bytes();
    return TimeCommand(masterGroup, group, clock_, hasMasterGroups()).bytes();
}

std::string ProtocolMessages::bcdTimeMessage(int masterGroup, int group) const {
    return BcdTimeCommand(masterGroup, group, 0, clock_).bytes();
}

std::string ProtocolMessages::timeMessageAt(std::time_t when) const {
    return timeToEveryone(database_, clock_, hasMasterGroups(), when).bytes();
}

std::string ProtocolMessages::bcdTimeMessageAt(std::time_t when) const {
    return BcdTimeCommand(0, 0, 0, clock_, when).bytes();
}

std::string ProtocolMessages::clockMessage(ClockMessage kind) const {
    switch (kind) {
        case ClockMessage::BcdTime:
            return bcdTimeMessage(0, 0);
        case ClockMessage::TimeDate:
            return timeDateToEveryone(database_, clock_, hasMasterGroups()).bytes();
        case ClockMessage::Time:
        default:
            return timeMessage(0, 0);
    }
}

std::string ProtocolMessages::download(const Location& location) const {
    return programming_ ? programming_(location) : std::string();
}

std::string ProtocolMessages::passwayLogRequest(const Location& location, int block) const {
    return logRequestCommand(location, block, hasMasterGroups()).bytes();
}

std::string ProtocolMessages::passwayLogClear(const Location& location) const {
    return logClearCommand(location, hasMasterGroups()).bytes();
}

}  // namespace quirn
