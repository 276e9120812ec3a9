#include <algorithm>
#include <cctype>

#include "platform/Format.h"
#include "platform/TextLines.h"
#include "schoolyear/CalendarReadSupport.h"
#include "schoolyear/CalendarReader.h"

namespace quirn {

namespace {

constexpr std::string_view kRangeMark = "..";
constexpr char kCommentMark = '#';

bool isHeaderLine(std::string_view line) {
    std::string lower(line.substr(0, 9));
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower == "date,kind";
}

// One line: "DATE[..DATE],Kind[,Note]". Returns the problem, or "" with the event filled.
std::string parseLine(std::string_view line, int number, long maxDays, CalendarEvent& event) {
    const size_t firstComma = line.find(',');
    if (firstComma == std::string_view::npos) {
        return "has no kind (the format is DATE[..DATE],Kind[,Note])";
    }
    const std::string_view dates = trimmed(line.substr(0, firstComma));
    std::string_view rest = line.substr(firstComma + 1);
    const size_t secondComma = rest.find(',');
    const std::string_view kind = trimmed(rest.substr(0, secondComma));
    const std::string_view note = secondComma == std::string_view::npos
                                      ? std::string_view{}
                                      : trimmed(rest.substr(secondComma + 1));
    if (kind.empty()) return "has an empty kind (the format is DATE[..DATE],Kind[,Note])";

    const size_t range = dates.find(kRangeMark);
    const std::string_view firstText = trimmed(dates.substr(0, range));
    const std::string_view lastText = range == std::string_view::npos
                                          ? firstText
                                          : trimmed(dates.substr(range + kRangeMark.size()));
    const auto first = parseIsoDate(firstText);
    if (!first) return "'" + std::string(firstText) + "' is not a date (YYYY-MM-DD)";
    const auto last = parseIsoDate(lastText);
    if (!last) return "'" + std::string(lastText) + "' is not a date (YYYY-MM-DD)";
    if (*last < *first) return "the range " + std::string(dates) + " ends before it starts";
    if (last->dayNumber() - first->dayNumber() + 1 > maxDays) {
        return format("the range %s is longer than %ld days", std::string(dates).c_str(), maxDays);
    }
    event.first = *first;
    event.last = *last;
    event.summary = std::string(note.empty() ? kind : note);
    event.categories = {std::string(kind)};
    event.source = format("line %d", number);
    return "";
}

}  // namespace

CalendarReadResult readCalendarCsvText(std::string_view text, const std::string& fileName,
                                       const CalendarWindow& window,
                                       const CalendarReadLimits& limits) {
    if (text.size() > limits.maxFileBytes) {
        return readFailure(fileName, format("is larger than %lu bytes",
                                            static_cast<unsigned long>(limits.maxFileBytes)));
    }
    if (const std::string problem = windowProblem(window); !problem.empty()) {
        return readFailure(fileName, problem);
    }
    text = withoutBom(text);
    if (const std::string problem = binaryProblem(text); !problem.empty()) {
        return readFailure(fileName, problem);
    }
    CalendarReadResult result;
    const std::vector<std::string_view> lines = splitLines(text);
    if (lines.size() > limits.maxRecords) {
        return readFailure(fileName, format("has more than %lu lines",
                                            static_cast<unsigned long>(limits.maxRecords)));
    }
    for (size_t i = 0; i < lines.size(); ++i) {
        const int number = static_cast<int>(i) + 1;
        const std::string_view line = trimmed(lines[i]);
        if (line.empty() || line.front() == kCommentMark) continue;
        if (i == 0 && isHeaderLine(line)) continue;
        CalendarEvent event;
        if (const std::string problem = parseLine(line, number, limits.maxEventDays, event);
            !problem.empty()) {
            return readFailure(fileName, format("line %d ", number) + problem);
        }
        if (!overlapsWindow(event, window)) continue;
        if (result.events.size() >= limits.maxEvents) {
            return readFailure(fileName,
                               format("has more than %lu events in %s..%s",
                                      static_cast<unsigned long>(limits.maxEvents),
                                      window.first.iso().c_str(), window.last.iso().c_str()));
        }
        result.events.push_back(std::move(event));
    }
    sortEvents(result.events);
    return result;
}

}  // namespace quirn
