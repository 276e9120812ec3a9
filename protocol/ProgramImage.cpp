#include "protocol/ProgramImage.h"

#include <algorithm>

#include "platform/Format.h"
#include "protocol/Bcd.h"
#include "protocol/TimeCommands.h"

namespace quirn {

namespace pi = program_image;

namespace {

constexpr char kMark[] = "MX40";
constexpr size_t kMarkLength = 4;
constexpr size_t kMarkZeros = 7;  // "00" after the address
constexpr uint8_t kEndMark = 'O';
constexpr size_t kEnd = pi::kEndMarkAt;
constexpr size_t kZone = 966;
constexpr uint8_t kDaylightRule[pi::kDaylightRuleLength] = {3, 2, 11, 1};
constexpr int kYearBase = 2000;
constexpr int kLastAnnualYear = 2050;
constexpr int kFirstClockYear = 1970;
constexpr int kLastClockYear = 2038;
constexpr int kMonths = 12;
constexpr int kMaxDay = 31;
constexpr int kRelayMask = 0x03;
constexpr uint8_t kRelayOnBoth = 3;
constexpr size_t kStepRelayByte = 2;
constexpr int kSeparateHolidayPlan = 100;
constexpr int kCentury = 100;

// Slot 0 stamp: six build-time bytes 4 apart from offset 12, then four constants.
constexpr size_t kStampStart = 12;
constexpr size_t kStampStride = 4;
constexpr uint8_t kStampMarks[] = {2, '9', '1', '5'};

// Clock byte order from 956.
enum ClockByte { kSecond, kMinute, kHour, kWeekday, kDay, kMonth, kYear };

bool inRange(int v, int lo, int hi) {
    return v >= lo && v <= hi;
}

std::string dateText(int year, int month, int day) {
    return format("%d/%02d/%4d", month, day, year);
}

std::string planKindText(int plan) {
    if (plan == kSeparateHolidayPlan) return "Holiday";
    if (plan == 0) return "Default";
    return format("Plan %d", plan);
}

}  // namespace

ProgramImage::ProgramImage(std::span<const uint8_t> bytes) {
    std::copy_n(bytes.begin(), std::min(bytes.size(), kSize), bytes_.begin());
}

ProgramImage ProgramImage::fresh(int masterGroup, int group, int location, std::time_t now) {
    ProgramImage image;
    image.bytes_[pi::kAddress] = toBcd(masterGroup);
    image.bytes_[pi::kAddress + 1] = toBcd(group);
    image.bytes_[pi::kAddress + 2] = toBcd(location);
    image.writeDaylightRule();
    image.writeClock(now + kClockLead);
    return image;
}

bool ProgramImage::isValid() const {
    return std::equal(kMark, kMark + kMarkLength, bytes_.begin()) && bytes_[kEnd] == kEndMark;
}

int ProgramImage::masterGroup() const {
    return fromBcd(bytes_[pi::kAddress]);
}
int ProgramImage::group() const {
    return fromBcd(bytes_[pi::kAddress + 1]);
}
int ProgramImage::location() const {
    return fromBcd(bytes_[pi::kAddress + 2]);
}

void ProgramImage::writeHeader(int masterGroup, int group, int location) {
    std::copy_n(kMark, kMarkLength, bytes_.begin());
    bytes_[pi::kAddress] = toBcd(masterGroup);
    bytes_[pi::kAddress + 1] = toBcd(group);
    bytes_[pi::kAddress + 2] = toBcd(location);
    bytes_[kMarkZeros] = '0';
    bytes_[kMarkZeros + 1] = '0';
}

void ProgramImage::setLocation(int location) {
    bytes_[pi::kAddress + 2] = toBcd(location);
}

void ProgramImage::writeStep(int plan, int index, int hour, int minute, bool on) {
    if (!inRange(plan, 1, static_cast<int>(pi::kPlanSlots)) ||
        !inRange(index, 0, static_cast<int>(pi::kStepsPerSlot) - 1))
        return;
    size_t at = pi::slotOffset(plan) + pi::kStepLength * index;
    bytes_[at] = toTwelveHourBcd(hour);
    bytes_[at + 1] = toBcd(minute);
    bytes_[at + kStepRelayByte] = on ? kRelayOnBoth : 0;
    bytes_[at + 3] = 0;
}

void ProgramImage::clearSlot(int plan) {
    if (!inRange(plan, 1, static_cast<int>(pi::kPlanSlots))) return;
    auto from = bytes_.begin() + pi::slotOffset(plan);
    std::fill(from, from + pi::kSlotLength, 0);
}

void ProgramImage::writeAnnual(int index, const LocalDateTime& start, const LocalDateTime& end,
                               int plan) {
    if (!inRange(index, 0, static_cast<int>(pi::kAnnualEntries) - 1)) return;
    size_t at = pi::annualOffset(index);
    const int fields[] = {start.month, start.day, start.year - kYearBase,
                          end.month,   end.day,   end.year - kYearBase,
                          plan};
    for (int v : fields) bytes_[at++] = toBcd(v);
    bytes_[at] = 0;
}

void ProgramImage::writeDaylightRule() {
    for (size_t i = 0; i < pi::kDaylightRuleLength; ++i)
        bytes_[pi::kDaylightRule + i] = toBcd(kDaylightRule[i]);
}

void ProgramImage::writeClock(std::time_t t) {
    LocalDateTime c = toLocal(t);
    uint8_t* clock = bytes_.data() + pi::kClock;
    clock[kSecond] = toBcd(c.second);
    clock[kMinute] = toBcd(c.minute);
    clock[kHour] = toTwelveHourBcd(c.hour);
    clock[kWeekday] = toBcd(c.weekday);
    clock[kDay] = toBcd(c.day);
    clock[kMonth] = toBcd(c.month);
    clock[kYear] = toBcd(c.year - kYearBase);
}

void ProgramImage::writeBuildStamp(std::time_t built) {
    LocalDateTime b = toLocal(built);
    const int fields[] = {b.year % kCentury, b.month, b.day, b.hour, b.minute, b.second};
    size_t at = kStampStart;
    for (int v : fields) {
        bytes_[at] = static_cast<uint8_t>(v);
        at += kStampStride;
    }
    for (uint8_t mark : kStampMarks) {
        bytes_[at] = mark;
        at += kStampStride;
    }
}

void ProgramImage::writeTrailer() {
    bytes_[kZone] = static_cast<uint8_t>(zoneLetter());
    bytes_[kEnd] = kEndMark;
}

void ProgramImage::writeDefaultWeek(const std::array<int, 8>& week) {
    for (size_t d = 1; d <= pi::kDefaultWeekLength; ++d)
        bytes_[pi::kDefaultWeek + d - 1] = static_cast<uint8_t>(week[d] & 0xFF);
}

int ProgramImage::relayBits() const {
    return bytes_[pi::kRelay] & kRelayMask;
}

void ProgramImage::setRelayBits(int bits) {
    bytes_[pi::kRelay] =
        static_cast<uint8_t>((bytes_[pi::kRelay] & ~kRelayMask) | (bits & kRelayMask));
}

void ProgramImage::checkAnnualEntries() {
    annual_.clear();
    for (size_t i = 0; i < pi::kAnnualEntries; ++i) {
        size_t at = pi::annualOffset(i);
        if (bytes_[at] == 0) break;
        AnnualEntry e;
        e.masterGroup = masterGroup();
        e.group = group();
        e.startMonth = fromBcd(bytes_[at]);
        e.startDay = fromBcd(bytes_[at + 1]);
        e.startYear = fromBcd(bytes_[at + 2]) + kYearBase;
        e.endMonth = fromBcd(bytes_[at + 3]);
        e.endDay = fromBcd(bytes_[at + 4]);
        e.endYear = fromBcd(bytes_[at + 5]) + kYearBase;
        e.plan = fromBcd(bytes_[at + 6]);
        bool possible = inRange(e.startMonth, 1, kMonths) && inRange(e.endMonth, 1, kMonths) &&
                        inRange(e.startDay, 1, kMaxDay) && inRange(e.endDay, 1, kMaxDay) &&
                        e.startYear <= kLastAnnualYear && e.endYear <= kLastAnnualYear;
        if (!possible) {
            bytes_[at] = 0;
            break;
        }
        annual_.push_back(e);
    }
}

std::optional<LocalDateTime> ProgramImage::clockFields() const {
    const uint8_t* clock = bytes_.data() + pi::kClock;
    LocalDateTime t;
    t.year = fromBcd(clock[kYear]) + kYearBase;
    t.month = fromBcd(clock[kMonth]);
    t.day = fromBcd(clock[kDay]);
    t.hour = fromTwelveHourBcd(clock[kHour]);
    t.minute = fromBcd(clock[kMinute]);
    t.second = fromBcd(clock[kSecond]);
    if (!inRange(t.year, kFirstClockYear, kLastClockYear) || !inRange(t.month, 1, kMonths) ||
        !inRange(t.day, 1, kMaxDay))
        return std::nullopt;
    return t;
}

std::time_t ProgramImage::clock() const {
    std::optional<LocalDateTime> c = clockFields();
    return c ? fromLocal(*c) : neverTime();
}

std::string ProgramImage::describeRelay() const {
    int bits = relayBits();
    return format("Relay 1-%s 2-%s", (bits & 1) ? "On" : "Off", (bits & 2) ? "On" : "Off");
}

std::vector<std::string> ProgramImage::describeProgram() const {
    std::vector<std::string> lines;
    lines.push_back(formatLocal("Time Switch: %A, %B %d, %Y, %H:%M.%S:", toLocal(clock())));
    lines.push_back(describeRelay());
    lines.push_back("Default Week Plan:");
    for (int d = 1; d <= static_cast<int>(pi::kDefaultWeekLength); ++d)
        lines.push_back(format("%s Plan %d.", weekdayName(d), bytes_[pi::kDefaultWeek + d - 1]));
    lines.push_back("Day Plan(s)");
    for (int p = 1; p <= static_cast<int>(pi::kPlanSlots); ++p) {
        for (int s = 0; s < static_cast<int>(pi::kStepsPerSlot); ++s) {
            size_t at = pi::slotOffset(p) + pi::kStepLength * s;
            if (bytes_[at] == 0) break;
            lines.push_back(format("Plan %d Step %d %02d:%02d Relay %s", p, s + 1,
                                   fromTwelveHourBcd(bytes_[at]), fromBcd(bytes_[at + 1]),
                                   bytes_[at + kStepRelayByte] != 0 ? "On" : "Off"));
        }
    }
    lines.push_back("Annual Plan(s)");
    for (const AnnualEntry& e : annual_)
        lines.push_back(planKindText(e.plan) + " " +
                        dateText(e.startYear, e.startMonth, e.startDay) + " to " +
                        dateText(e.endYear, e.endMonth, e.endDay));
    return lines;
}

}  // namespace quirn
