#include "testing/TimeTestLines.h"

#include "platform/LocalTime.h"
#include "testing/TimeTestTexts.h"

namespace quirn {

namespace {
constexpr const char* kCsvTimeFormat = "%A, %B %d, %Y, %H:%M.%S";
constexpr const char* kCsvHeader = "\"Time\",\"Line\"\r\n";

std::string quoted(const std::string& field) {
    std::string out = "\"";
    for (char c : field) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}
}  // namespace

std::string TimeTestLine::shown() const {
    return formatLocal(time_test_text::kLinePrefixFormat, time) + text;
}

std::string linesCsv(const std::vector<TimeTestLine>& lines) {
    std::string out = kCsvHeader;
    for (const TimeTestLine& line : lines)
        out += quoted(formatLocal(kCsvTimeFormat, line.time)) + "," + quoted(line.text) + "\r\n";
    return out;
}

}  // namespace quirn
