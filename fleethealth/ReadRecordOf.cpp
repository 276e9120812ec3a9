#include "fleethealth/ReadRecordOf.h"

#include "fleethealth/SwitchClockOffset.h"
#include "plans/Location.h"
#include "protocol/ProgramImage.h"
#include "protocol/Qn510Image.h"
#include "protocol/Validation.h"

namespace quirn {

namespace {
constexpr int kQn510RelayBit = 1;

int relayOf(const ReadBackImage& image) {
    if (const auto* qn510 = dynamic_cast<const Qn510Image*>(&image))
        return (qn510->tables().flags() & Qn510Tables::kRelayOn) ? kQn510RelayBit : 0;
    if (const auto* program = dynamic_cast<const ProgramImage*>(&image))
        return program->relayBits();
    return kRelayUnknown;
}

bool compared(ReadState state) {
    return state == ReadState::ValidatePassed || state == ReadState::ValidateFailed;
}
}  // namespace

ReadRecord readRecordOf(const Location& location, ReadSource source, std::time_t time,
                        unsigned resultBits) {
    ReadRecord read;
    read.time = time;
    read.location = {location.masterGroup, location.group, location.number};
    read.state = static_cast<ReadState>(location.readState);
    read.source = source;
    read.bytesRead = location.programBytesReceived;
    if (!compared(read.state)) return read;
    const ReadBackImage* image = location.image.get();
    // A reply of the right size whose image does not decode fails as validation fails a
    // location without an image: on program and clock.
    read.resultBits = image != nullptr ? resultBits : (kProgramMismatch | kClockWrong);
    read.program =
        (read.resultBits & kProgramMismatch) ? ProgramMatch::Differs : ProgramMatch::Matched;
    if (image == nullptr) return read;
    const SwitchClockOffset offset = switchClockOffset(*image, time);
    read.hasClock = offset.known;
    read.clockHasSeconds = offset.hasSeconds;
    read.clockOffsetSeconds = offset.seconds;
    read.relayState = relayOf(*image);
    return read;
}

ReadSource readSourceOf(const Location& location) {
    if (location.connection == kRadioAddress) return ReadSource::Radio;
    if (location.connection == kM2MAddress) return ReadSource::M2M;
    return ReadSource::WiFi;
}

}  // namespace quirn
