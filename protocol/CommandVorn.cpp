#include "protocol/CommandVorn.h"

#include <vector>

#include "protocol/MessageFrame.h"

namespace quirn {

size_t CommandVorn::build(char* buffer, size_t capacity) const {
    return copyWhole(bytes(), buffer, capacity, false);
}

size_t PagedCommand::build(char* buffer, size_t capacity) const {
    std::string b = bytes();
    if (b.empty()) {
        if (buffer != nullptr && capacity > 0) buffer[0] = '\0';
        return 0;
    }
    return copyWhole(b, buffer, capacity, true);
}

std::string PagedCommand::text() const {
    std::vector<char> buffer(kMessageBufferSize);
    size_t n = build(buffer.data(), buffer.size());
    return std::string(buffer.data(), n);
}

void PagedCommand::encodeWeekSteps(std::string&, const WeekDays&) const {}

std::string PagedCommand::prefix() const {
    return masterGroupPrefix(masterGroup(), hasMasterGroups_);
}

std::string PagedCommand::frame(char letter, std::string_view data) const {
    return pagedMessage(prefix(), letter, group(), location(), data);
}

std::string SentenceCommand::bytes() const {
    return sentence(payload());
}

}  // namespace quirn
