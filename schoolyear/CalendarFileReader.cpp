#include <fstream>

#include "platform/Format.h"
#include "schoolyear/CalendarReadSupport.h"
#include "schoolyear/CalendarReader.h"

namespace quirn {

namespace {

constexpr std::string_view kIcsStart = "BEGIN:VCALENDAR";

// The file's bytes, reading at most one byte more than the limit so a huge file costs nothing.
// Nothing when it cannot be opened or read.
std::optional<std::string> readBounded(const std::string& path, size_t limit) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes(limit + 1, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (in.bad()) return std::nullopt;
    bytes.resize(static_cast<size_t>(in.gcount()));
    return bytes;
}

bool looksLikeIcs(std::string_view text) {
    text = trimmed(withoutBom(text));
    return text.substr(0, kIcsStart.size()) == kIcsStart;
}

}  // namespace

CalendarReadResult readCalendarFile(const std::string& path, const CalendarWindow& window,
                                    const CalendarReadLimits& limits) {
    const std::optional<std::string> bytes = readBounded(path, limits.maxFileBytes);
    if (!bytes) return readFailure(path, "cannot be read (missing, a folder, or no permission)");
    if (bytes->size() > limits.maxFileBytes) {
        return readFailure(path,
                           format("is larger than %lu bytes; a school calendar is far smaller",
                                  static_cast<unsigned long>(limits.maxFileBytes)));
    }
    if (bytes->empty()) return readFailure(path, "is empty");
    if (looksLikeIcs(*bytes)) return readIcsText(*bytes, path, window, limits);
    return readCalendarCsvText(*bytes, path, window, limits);
}

}  // namespace quirn
