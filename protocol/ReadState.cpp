#include "protocol/ReadState.h"

#include "plans/Location.h"
#include "platform/Format.h"

namespace quirn {

namespace {

// The test location that always reads as validated.
constexpr int kTestMasterGroup = 1;
constexpr int kTestGroup = 99;
constexpr int kTestLocation = 99;

struct StateText {
    ReadState state;
    const char* format;
};

// Every format takes the group and location names, then at most one number.
constexpr StateText kTexts[] = {
    {ReadState::NotRead, "%s, %s Not Read Yet."},
    {ReadState::Reading, "%s, %s Reading."},
    {ReadState::ReadingAgain, "%s, %s Reading."},
    {ReadState::ValidatePassed, "%s, %s Connection Made, Validate Passed."},
    {ReadState::ValidateFailed, "%s, %s Connection Made, Validate Failed."},
    {ReadState::ConnectionFailed, "%s, %s Connection Failed, 0 bytes read."},
    {ReadState::PartialData, "%s, %s Partial Data %d bytes read."},
    {ReadState::Writing, "%s, %s Writing %d Seconds."},
};

}  // namespace

void setReadState(Location& location, ReadState state, std::time_t now) {
    location.readState = static_cast<int32_t>(state);
    location.readStateTime = now;
}

ReadState refreshReadState(Location& location, std::time_t now, const ReadLinkStatus* links) {
    if (location.masterGroup == kTestMasterGroup && location.group == kTestGroup &&
        location.number == kTestLocation) {
        location.readState = static_cast<int32_t>(ReadState::ValidatePassed);
        return ReadState::ValidatePassed;
    }
    auto state = static_cast<ReadState>(location.readState);
    std::time_t elapsed = now - location.readStateTime;
    if (state == ReadState::Reading || state == ReadState::ReadingAgain) {
        std::optional<bool> reading = links ? links->linkReading(location) : std::nullopt;
        bool linkDone = elapsed > kReadLinkGrace && reading.has_value() && !*reading;
        if (linkDone || elapsed > kReadTimeout)
            setReadState(location, ReadState::ConnectionFailed, now);
    } else if (state == ReadState::Writing && elapsed > kWriteShown) {
        setReadState(location, ReadState::NotRead, now);
    }
    return static_cast<ReadState>(location.readState);
}

std::string readStateText(ReadState state, const std::string& groupName,
                          const std::string& locationName, int bytesRead, int seconds,
                          bool validateDisabled) {
    if (validateDisabled)
        return format("Validate Disabled: %s, %s.", groupName.c_str(), locationName.c_str());
    const char* text = kTexts[0].format;
    for (const StateText& t : kTexts)
        if (t.state == state) text = t.format;
    int number = state == ReadState::Writing ? seconds : bytesRead;
    return quirn::format(text, groupName.c_str(), locationName.c_str(), number);
}

}  // namespace quirn
