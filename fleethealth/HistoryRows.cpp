#include "fleethealth/HistoryRows.h"

namespace quirn {

namespace {
// A read's flags column.
constexpr long long kHasClock = 1;
constexpr long long kClockHasSeconds = 2;
constexpr long long kClockSent = 4;
// The last drift sample's flags.
constexpr long long kWholeMinutes = 1;
constexpr long long kSampleClockSent = 2;

long long readFlags(const ReadRecord& read) {
    return (read.hasClock ? kHasClock : 0) | (read.clockHasSeconds ? kClockHasSeconds : 0) |
           (read.clockSent ? kClockSent : 0);
}

// Parameters 4-12 of a summary and 6-13 of a read share an order: state, source, flags,
// offset, program, relay, result, bytes.
void bindFields(SqliteStatement& s, const ReadRecord& read, int first) {
    s.bind(first, static_cast<long long>(read.state));
    s.bind(first + 1, static_cast<long long>(read.source));
    s.bind(first + 2, readFlags(read));
    if (read.hasClock)
        s.bind(first + 3, read.clockOffsetSeconds);
    else
        s.bindNull(first + 3);
    s.bind(first + 4, static_cast<long long>(read.program));
    s.bind(first + 5, read.relayState);
    s.bind(first + 6, read.resultBits);
    s.bind(first + 7, read.bytesRead);
}
}  // namespace

void bindRead(SqliteStatement& s, const ReadRecord& read, long long seq) {
    s.bind(1, read.location.masterGroup);
    s.bind(2, read.location.group);
    s.bind(3, read.location.location);
    s.bind(4, read.time);
    s.bind(5, seq);
    bindFields(s, read, 6);
}

void bindSummary(SqliteStatement& s, const LocationHealth& h) {
    s.bind(1, h.latest.location.masterGroup);
    s.bind(2, h.latest.location.group);
    s.bind(3, h.latest.location.location);
    s.bind(4, h.latest.time);
    bindFields(s, h.latest, 5);
    s.bind(13, h.lastAnswered);
    s.bind(14, h.lastValidated);
    s.bind(15, h.drift.runStart);
    s.bind(16, h.drift.count);
    s.bindDouble(17, h.drift.sumX);
    s.bindDouble(18, h.drift.sumY);
    s.bindDouble(19, h.drift.sumXX);
    s.bindDouble(20, h.drift.sumXY);
    s.bind(21, h.drift.last.time);
    s.bindDouble(22, h.drift.last.offsetSeconds);
    s.bind(23, (h.drift.last.wholeMinutes ? kWholeMinutes : 0) |
                   (h.drift.last.clockSent ? kSampleClockSent : 0));
}

ReadRecord readFromRow(const SqliteStatement& row, int c) {
    ReadRecord read;
    read.location = {static_cast<int>(row.integer(c)), static_cast<int>(row.integer(c + 1)),
                     static_cast<int>(row.integer(c + 2))};
    read.time = static_cast<std::time_t>(row.integer(c + 3));
    read.state = static_cast<ReadState>(row.integer(c + 4));
    read.source = static_cast<ReadSource>(row.integer(c + 5));
    const long long flags = row.integer(c + 6);
    read.hasClock = (flags & kHasClock) != 0 && !row.isNull(c + 7);
    read.clockHasSeconds = (flags & kClockHasSeconds) != 0;
    read.clockSent = (flags & kClockSent) != 0;
    read.clockOffsetSeconds = read.hasClock ? row.integer(c + 7) : 0;
    read.program = static_cast<ProgramMatch>(row.integer(c + 8));
    read.relayState = static_cast<int>(row.integer(c + 9));
    read.resultBits = static_cast<unsigned>(row.integer(c + 10));
    read.bytesRead = static_cast<int>(row.integer(c + 11));
    return read;
}

LocationHealth summaryFromRow(const SqliteStatement& row, int c) {
    LocationHealth h;
    h.latest = readFromRow(row, c);
    h.lastAnswered = static_cast<std::time_t>(row.integer(c + 12));
    h.lastValidated = static_cast<std::time_t>(row.integer(c + 13));
    h.drift.runStart = static_cast<std::time_t>(row.integer(c + 14));
    h.drift.count = static_cast<int>(row.integer(c + 15));
    h.drift.sumX = row.real(c + 16);
    h.drift.sumY = row.real(c + 17);
    h.drift.sumXX = row.real(c + 18);
    h.drift.sumXY = row.real(c + 19);
    h.drift.last.time = static_cast<std::time_t>(row.integer(c + 20));
    h.drift.last.offsetSeconds = row.real(c + 21);
    const long long flags = row.integer(c + 22);
    h.drift.last.wholeMinutes = (flags & kWholeMinutes) != 0;
    h.drift.last.clockSent = (flags & kSampleClockSent) != 0;
    return h;
}

}  // namespace quirn
