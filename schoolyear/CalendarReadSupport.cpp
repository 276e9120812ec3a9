#include "schoolyear/CalendarReadSupport.h"

#include <algorithm>
#include <tuple>

#include "platform/Format.h"

namespace quirn {

std::string_view withoutBom(std::string_view text) {
    if (text.substr(0, kUtf8Bom.size()) == kUtf8Bom) text.remove_prefix(kUtf8Bom.size());
    return text;
}

namespace {

// Length of the UTF-8 sequence starting at text[i], or 0 when it is not one.
size_t utf8SequenceLength(std::string_view text, size_t i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    size_t length = 0;
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3;
    else if (lead >= 0xF0 && lead <= 0xF4)
        length = 4;
    else
        return 0;
    if (i + length > text.size()) return 0;
    for (size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xC0) != 0x80) return 0;
    }
    return length;
}

}  // namespace

std::string binaryProblem(std::string_view text) {
    for (size_t i = 0; i < text.size();) {
        if (text[i] == '\0') {
            return format("binary data (a NUL byte at byte %lu), not a calendar text",
                          static_cast<unsigned long>(i));
        }
        const size_t length = utf8SequenceLength(text, i);
        if (length == 0) {
            return format("bytes that are not UTF-8 text at byte %lu, not a calendar text",
                          static_cast<unsigned long>(i));
        }
        i += length;
    }
    return "";
}

bool overlapsWindow(const CalendarEvent& event, const CalendarWindow& window) {
    return event.last >= window.first && event.first <= window.last;
}

void sortEvents(std::vector<CalendarEvent>& events) {
    std::stable_sort(events.begin(), events.end(), [](const auto& a, const auto& b) {
        return std::tie(a.first, a.last, a.summary) < std::tie(b.first, b.last, b.summary);
    });
}

std::string windowProblem(const CalendarWindow& window) {
    if (!window.first.valid() || !window.last.valid()) return "the date window is not real dates";
    if (window.last < window.first) {
        return "the date window ends (" + window.last.iso() + ") before it starts (" +
               window.first.iso() + ")";
    }
    if (window.last.dayNumber() - window.first.dayNumber() >= kMaxWindowDays) {
        return format("the date window %s..%s is longer than %ld days", window.first.iso().c_str(),
                      window.last.iso().c_str(), kMaxWindowDays);
    }
    return "";
}

CalendarReadResult readFailure(const std::string& fileName, const std::string& problem) {
    CalendarReadResult result;
    result.error = fileName + ": " + problem;
    return result;
}

std::string_view trimmed(std::string_view text) {
    constexpr std::string_view kBlanks = " \t\r\n";
    const size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    const size_t last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

}  // namespace quirn
