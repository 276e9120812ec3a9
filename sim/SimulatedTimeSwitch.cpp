#include "sim/SimulatedTimeSwitch.h"

#include "platform/Format.h"
#include "protocol/Checksums.h"
#include "sim/PagedSteps.h"
#include "sim/PagedTimeData.h"
#include "sim/PrintableBytes.h"
#include "sim/RelaySchedule.h"
#include "sim/SimBcd.h"

namespace quirn::sim {

namespace {

constexpr size_t kChecksumChars = 4;
constexpr int kMasterGroupCharOffset = 47;  // "1" names master group 2
constexpr int kDaysPerWeek = 7;
constexpr int kMinutesPerHour = 60;
constexpr int64_t kMinutesPerWeek = int64_t{kMinutesPerDay} * kDaysPerWeek;
constexpr int kHalfWeek = 3;
constexpr int kYearBaseBcd = 2000;
constexpr int kFastRate = 4800;
constexpr int kSlowRate = 2400;
constexpr char kFastRateLetter = 'B';
constexpr uint8_t kRelayField = 0x03;
constexpr char kRelayOnChar = '1';
constexpr char kRelayOffChar = '0';
constexpr std::string_view kNoOverride = "d";

// Positions in the BCD commands: "$T"/"$M"/"C7x", then master group, group, location.
constexpr size_t kBcdAddressAt = 2;
constexpr size_t kReadAddressAt = 3;
constexpr size_t kBcdTimeFieldsAt = 5;
constexpr size_t kRelayCodeAt = 5;
// Sentences: "$", kind letter, then (for 'S' and 'Q') the three address bytes.
constexpr size_t kSentenceAddressAt = 2;
constexpr size_t kSentenceTail = 3;  // "*" and two digits

bool isMasterGroupChar(char c) {
    return c >= '1' && c <= '9';
}
bool isLowerPrefix(char c) {
    return c >= 'a' && c <= 'w';
}

int twoDigits(std::string_view s, size_t at) {
    if (at + 2 > s.size()) return -1;
    char a = s[at], b = s[at + 1];
    if (a < '0' || a > '9' || b < '0' || b > '9') return -1;
    return (a - '0') * 10 + (b - '0');
}

int64_t localDayOf(const LocalDateTime& t) {
    return daysFromCivil(t.year, t.month, t.day);
}

bool validDate(const LocalDateTime& t) {
    return t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= 31 && t.hour >= 0 &&
           t.hour <= 23 && t.minute >= 0 && t.minute <= 59 && t.second >= 0 && t.second <= 59;
}

std::string hhmm(const LocalDateTime& t) {
    return format("%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                  t.second);
}

}  // namespace

SimulatedTimeSwitch::SimulatedTimeSwitch(const SimSettings& settings, const Clock& host,
                                         const Clock* clockTime)
    : settings_(settings),
      host_(host),
      clock_(clockTime != nullptr ? *clockTime : host, settings.zone, settings.clock),
      program_(settings.address, settings.zone),
      log510_(settings.activations, settings.confirmationFlag),
      lineRate_(settings.lineRate == kFastRate ? kFastRate : kSlowRate) {}

std::string SimulatedTimeSwitch::label() const {
    return format("%s %d,%d,%d", modelName(settings_.model), settings_.address.masterGroup,
                  settings_.address.group, settings_.address.location);
}

void SimulatedTimeSwitch::logLine(const char* direction, std::string_view bytes,
                                  const std::string& note) const {
    if (!log_) return;
    log_(label() + " " + direction + " " + printableBytes(bytes) + (note.empty() ? "" : " : ") +
         note);
}

int SimulatedTimeSwitch::relayCode() const {
    if (isPagedModel(settings_.model)) return qn510_.relayOn() ? 1 : 0;
    return relayBits_;
}

void SimulatedTimeSwitch::setRelayCode(int code) {
    if (isPagedModel(settings_.model))
        qn510_.setRelay(code != 0);
    else
        relayBits_ = code & kRelayField;
}

std::string SimulatedTimeSwitch::receive(std::string_view bytes) {
    std::string out;
    for (const Frame& frame : framer_.push(bytes, host_.nowMs())) {
        Reply reply = handle(frame);
        if (reply.kind == ReplyKind::None) continue;
        std::string sent = applyFaults(reply);
        if (settings_.faults.noAnswer)
            logLine("tx", "", "answer withheld (" + reply.what + ")");
        else
            logLine("tx", sent, reply.what);
        out += sent;
    }
    return out;
}

std::string SimulatedTimeSwitch::applyFaults(const Reply& reply) const {
    const SimFaults& f = settings_.faults;
    if (f.noAnswer) return {};
    std::string bytes = reply.bytes;
    bool hasChecksum = reply.kind == ReplyKind::Compact || reply.kind == ReplyKind::Sentence;
    if (f.badChecksum && hasChecksum && !bytes.empty()) {
        char& last = bytes.back();
        last = last == '0' ? '1' : '0';
    }
    if (f.cutAnswer >= 0 && bytes.size() > static_cast<size_t>(f.cutAnswer))
        bytes.resize(static_cast<size_t>(f.cutAnswer));
    return bytes;
}

SimulatedTimeSwitch::Reply SimulatedTimeSwitch::handle(const Frame& frame) {
    switch (frame.kind) {
        case FrameKind::Paged:
            return handlePaged(frame);
        case FrameKind::PagedRead:
            return handleRead(frame);
        case FrameKind::BcdTime:
        case FrameKind::BcdRelay:
        case FrameKind::ReadMx40:
        case FrameKind::ReadLr40:
        case FrameKind::ProgramImage:
            return handleBcd(frame);
        case FrameKind::ProgramSentence:
        case FrameKind::QuerySentence:
        case FrameKind::BaudSentence:
            return handleSentence(frame);
        case FrameKind::PageAll:
            if (settings_.model != SimModel::LR40) {
                logLine("rx", frame.bytes, "page to all, nothing to answer");
                return {};
            }
            logLine("rx", frame.bytes, "page to all");
            // The loader only counts the bytes: ten of them name the rate the switch is at.
            return {ReplyKind::Baud, "BAUD " + std::to_string(lineRate_) + "\r", "line check"};
        case FrameKind::Acknowledge:
            logLine("rx", frame.bytes, "acknowledgement");
            return {};
        case FrameKind::Junk:
            logLine("rx", frame.bytes, "unknown bytes, ignored");
            return {};
    }
    return {};
}

bool SimulatedTimeSwitch::pagedAddressMatches(int masterGroup, int group, int location) const {
    const SimAddress& a = settings_.address;
    return masterGroup == a.masterGroup && (group == 0 || group == a.group) &&
           (location == 0 || location == a.location);
}

bool SimulatedTimeSwitch::bcdAddressMatches(uint8_t masterGroup, uint8_t group,
                                            uint8_t location) const {
    const SimAddress& a = settings_.address;
    auto matches = [](uint8_t bcd, int mine) { return bcd == 0 || valueOfBcd(bcd) == mine; };
    return matches(masterGroup, a.masterGroup) && matches(group, a.group) &&
           matches(location, a.location);
}

SimulatedTimeSwitch::Reply SimulatedTimeSwitch::handlePaged(const Frame& frame) {
    std::string_view b = frame.bytes;
    std::string_view covered = b.substr(0, b.size() - kChecksumChars);
    if (checksumText(pagedChecksum(covered)) != b.substr(covered.size())) {
        logLine("rx", b, "bad checksum, ignored");
        return {};
    }
    if (!isPagedModel(settings_.model)) {
        logLine("rx", b, "paged text, not for this model");
        return {};
    }
    // "@", an optional master group ("1" is master group 2) or lower-case prefix, the letter,
    // the group and location as two digits each, the data, "#".
    size_t letterAt = 1;
    if (b.size() > 1 && (isMasterGroupChar(b[1]) || isLowerPrefix(b[1]))) letterAt = 2;
    const bool lowerPrefix = letterAt == 2 && isLowerPrefix(b[1]);
    const int masterGroup = letterAt == 2 && isMasterGroupChar(b[1]) ? b[1] - '1' + 2 : 1;
    const int group = twoDigits(b, letterAt + 1);
    const int location = twoDigits(b, letterAt + 3);
    if (lowerPrefix || !pagedAddressMatches(masterGroup, group, location)) {
        logLine("rx", b, "not addressed to this switch");
        return {};
    }
    size_t dataAt = letterAt + 5;
    size_t end = b.find('#', dataAt);
    std::string_view data = end == std::string_view::npos ? "" : b.substr(dataAt, end - dataAt);
    char letter = b[letterAt];
    bool strider = settings_.model == SimModel::Strider;
    LocalDateTime now = clock_.local();

    switch (letter) {
        case 'D': {
            const PagedSteps steps = readPagedSteps(data);
            qn510_.takeDefaultWeek(steps.on, steps.off);
            overrideDay_.reset();
            alternateEndDay_.reset();
            resyncRelay();
            logLine("rx", b,
                    "default week, " +
                        std::to_string(qn510_.table(Qn510Memory::Table::Default).size()) +
                        " entries");
            return {};
        }
        case 'W': {
            const PagedSteps steps = readPagedSteps(data);
            qn510_.takeAlternateWeek(steps.on, steps.off);
            int64_t today = localDayOf(now);
            alternateEndDay_ = today + (kDaysPerWeek + 1 - now.weekday);
            overrideDay_.reset();
            resyncRelay();
            logLine("rx", b,
                    "alternate week, " +
                        std::to_string(qn510_.table(Qn510Memory::Table::Alternate).size()) +
                        " entries");
            return {};
        }
        case 'O': {
            const PagedSteps steps = readPagedSteps(data);
            if (steps.any()) {
                qn510_.takeOverride(steps.on, steps.off);
                overrideDay_ = localDayOf(now);
                resyncRelay();
                logLine("rx", b, "override for today");
            } else if (data == kNoOverride) {
                qn510_.dropOverride();
                overrideDay_.reset();
                resyncRelay();
                logLine("rx", b, "no override");
            } else {
                logLine("rx", b, "override without steps, ignored");
            }
            return {};
        }
        case 'M':
            if (data.size() != 1 || (data[0] != kRelayOnChar && data[0] != kRelayOffChar)) break;
            setRelayCode(data[0] == kRelayOnChar ? 1 : 0);
            manualHeld_ = settings_.manualHoldsUntilStep;
            logLine("rx", b, data[0] == kRelayOnChar ? "relay ON" : "relay OFF");
            return {};
        case 'T': {
            std::optional<TimeOfWeek> t = parseTimeData(data);
            if (!t) break;
            int shift = ((t->weekday - now.weekday) % kDaysPerWeek + kDaysPerWeek) % kDaysPerWeek;
            if (shift > kHalfWeek) shift -= kDaysPerWeek;  // the nearest day with that weekday
            LocalDateTime set = now;
            set.hour = t->hour;
            set.minute = t->minute;
            set.second = 0;
            setClockLocal(fieldsOf(wallSecondsOf(set) + int64_t{shift} * kSecondsPerDay));
            logLine("rx", b, "time set to " + hhmm(clock_.local()));
            return {};
        }
        case 'Z': {
            std::optional<DateAndZone> z = parseDateTimeData(data);
            if (!z) break;
            clock_.setZone(z->zone);
            setClockLocal(z->local);
            logLine("rx", b, "date and time set to " + hhmm(clock_.local()));
            return {};
        }
        case 'E':
            if (!strider || data.size() != 1 || data[0] < '0' || data[0] > '9') break;
            delayCode_ = data[0] - '0';
            logLine("rx", b, "delay time code " + std::to_string(delayCode_));
            return {};
        case 'B': {
            if (!strider || data.size() != 1 || data[0] < '0' || data[0] > '9') break;
            int block = data[0] - '0';
            logLine("rx", b, "activation log block " + std::to_string(block));
            return {ReplyKind::LogBlock, log510_.block(block, delayCode_),
                    "activation log block " + std::to_string(block) + " of " +
                        std::to_string(log510_.lastBlock() + 1)};
        }
        case 'C':
            if (!strider || !data.empty()) break;
            log510_.clear();
            logLine("rx", b, "activation log cleared");
            return {};
        default:
            break;
    }
    logLine("rx", b, "not understood, ignored");
    return {};
}

SimulatedTimeSwitch::Reply SimulatedTimeSwitch::handleRead(const Frame& frame) {
    std::string_view b = frame.bytes;  // "X@" [prefix] "R" group location "o"
    if (!isPagedModel(settings_.model)) {
        logLine("rx", b, "paged read, not for this model");
        return {};
    }
    size_t at = 2;
    int masterGroup = 1;
    if (at < b.size() && isMasterGroupChar(b[at]))
        masterGroup = b[at++] - kMasterGroupCharOffset;
    else if (at < b.size() && isLowerPrefix(b[at]))
        masterGroup = -1;
    constexpr size_t kReadTail = 6;  // "R", four digits, "o"
    if (b.size() != at + kReadTail || b[at] != 'R') {
        logLine("rx", b, "malformed read request, ignored");
        return {};
    }
    if (!pagedAddressMatches(masterGroup, twoDigits(b, at + 1), twoDigits(b, at + 3))) {
        logLine("rx", b, "not addressed to this switch");
        return {};
    }
    logLine("rx", b, "read request");
    return answerRead();
}

SimulatedTimeSwitch::Reply SimulatedTimeSwitch::answerRead() {
    LocalDateTime now = clock_.local();
    if (settings_.qn510RawImage) return {ReplyKind::Raw, qn510_.rawImage(now), "memory image"};
    bool strider = settings_.model == SimModel::Strider;
    char version = strider ? Qn510Memory::kStriderVersion : Qn510Memory::kQn510Version;
    return {ReplyKind::Compact, qn510_.compactReply(now, version),
            std::string("compact reply, version ") + version};
}

SimulatedTimeSwitch::Reply SimulatedTimeSwitch::handleBcd(const Frame& frame) {
    std::string_view b = frame.bytes;
    if (isPagedModel(settings_.model)) {
        logLine("rx", b, std::string(frameKindName(frame.kind)) + ", not for this model");
        return {};
    }
    auto byteAt = [&](size_t i) { return static_cast<uint8_t>(b[i]); };
    auto addressed = [&](size_t at) {
        return bcdAddressMatches(byteAt(at), byteAt(at + 1), byteAt(at + 2));
    };
    const char* kind = frameKindName(frame.kind);
    switch (frame.kind) {
        case FrameKind::BcdTime: {
            if (!addressed(kBcdAddressAt)) break;
            size_t t = kBcdTimeFieldsAt;
            LocalDateTime set;
            set.hour = hourOfTwelveHour(byteAt(t));
            set.minute = valueOfBcd(byteAt(t + 1));
            set.second = valueOfBcd(byteAt(t + 2));
            set.month = valueOfBcd(byteAt(t + 4));
            set.day = valueOfBcd(byteAt(t + 5));
            set.year = valueOfBcd(byteAt(t + 6)) + kYearBaseBcd;
            if (!validDate(set) || byteAt(t) == 0) {
                logLine("rx", b, "time with impossible fields, ignored");
                return {};
            }
            setClockLocal(set);
            logLine("rx", b, "time set to " + hhmm(clock_.local()));
            return {};
        }
        case FrameKind::BcdRelay:
            if (!addressed(kBcdAddressAt)) break;
            setRelayCode(byteAt(kRelayCodeAt) <= kRelayField ? byteAt(kRelayCodeAt) : 0);
            manualHeld_ = settings_.manualHoldsUntilStep;
            logLine("rx", b, "relay code " + std::to_string(relayBits_));
            return {};
        case FrameKind::ReadMx40: {
            if (!addressed(kReadAddressAt)) break;
            logLine("rx", b, "read request");
            char zone = static_cast<char>('A' + clock_.zone().hoursWest);
            return {ReplyKind::Image, program_.imageReply(clock_.local(), relayBits_, zone),
                    "program image"};
        }
        case FrameKind::ReadLr40:
            if (settings_.model != SimModel::LR40) {
                logLine("rx", b, "C79 read, not for this model");
                return {};
            }
            if (!addressed(kReadAddressAt)) break;
            logLine("rx", b, "read request");
            return {ReplyKind::Sentence, program_.sentenceReply(clock_.local(), relayBits_),
                    "program sentence"};
        case FrameKind::ProgramImage:
            if (!addressed(kBcdAddressAt + 2)) break;  // image bytes 4, 5, 6
            program_.takeImage(b);
            clock_.setZone(program_.zoneOfProgram(clock_.zone()));
            if (auto when = program_.programClock()) setClockLocal(*when);
            resyncRelay();
            logLine("rx", b, "program image taken");
            return {};
        default:
            break;
    }
    logLine("rx", b, std::string(kind) + " not addressed to this switch");
    return {};
}

SimulatedTimeSwitch::Reply SimulatedTimeSwitch::handleSentence(const Frame& frame) {
    std::string_view b = frame.bytes;
    if (settings_.model != SimModel::LR40) {
        logLine("rx", b, std::string(frameKindName(frame.kind)) + ", not for this model");
        return {};
    }
    std::string_view payload = b.substr(1, b.size() - 1 - kSentenceTail);
    if (b[b.size() - kSentenceTail] != '*' ||
        hexByteText(sentenceChecksum(payload)) != b.substr(b.size() - 2)) {
        logLine("rx", b, "bad sentence checksum, ignored");
        return {};
    }
    auto byteAt = [&](size_t i) { return static_cast<uint8_t>(b[i]); };
    switch (frame.kind) {
        case FrameKind::ProgramSentence:
            if (!bcdAddressMatches(byteAt(kSentenceAddressAt), byteAt(kSentenceAddressAt + 1),
                                   byteAt(kSentenceAddressAt + 2))) {
                logLine("rx", b, "program sentence not addressed to this switch");
                return {};
            }
            if (!program_.takeSentence(b)) {
                logLine("rx", b, "malformed program sentence, ignored");
                return {};
            }
            clock_.setZone(program_.zoneOfProgram(clock_.zone()));
            if (auto when = program_.programClock()) setClockLocal(*when);
            resyncRelay();
            logLine("rx", b, "program sentence taken");
            return {};
        case FrameKind::QuerySentence:
            if (!bcdAddressMatches(byteAt(kSentenceAddressAt), byteAt(kSentenceAddressAt + 1),
                                   byteAt(kSentenceAddressAt + 2))) {
                logLine("rx", b, "query not addressed to this switch");
                return {};
            }
            logLine("rx", b, "query");
            return {ReplyKind::Sentence, program_.sentenceReply(clock_.local(), relayBits_),
                    "program sentence"};
        case FrameKind::BaudSentence: {
            int rate =
                payload.size() > 0 && payload.back() == kFastRateLetter ? kFastRate : kSlowRate;
            if (settings_.faults.ignoreBaud) {
                logLine("rx", b, "baud change to " + std::to_string(rate) + " ignored");
                return {};
            }
            lineRate_ = rate;
            logLine("rx", b, "line rate now " + std::to_string(rate));
            return {};
        }
        default:
            return {};
    }
}

void SimulatedTimeSwitch::setClockLocal(const LocalDateTime& local) {
    clock_.setLocal(local);
    resyncRelay();
}

std::optional<int> SimulatedTimeSwitch::lastStepIn(int64_t fromMinute, int64_t toMinute) const {
    return lastSwitchIn(clock_.zone(), fromMinute, toMinute, [this](const LocalDateTime& date) {
        if (!isPagedModel(settings_.model))
            return program_.planSteps(
                program_.planFor(date.year, date.month, date.day, date.weekday));
        std::vector<SwitchStep> steps;
        for (const Qn510Memory::Entry& e : qn510_.stepsFor(date.weekday))
            steps.push_back({e.minuteOfDay(), e.on() ? 1 : 0});
        return steps;
    });
}

void SimulatedTimeSwitch::resyncRelay() {
    int64_t now = minuteOf(clock_.now());
    lastMinute_ = now;
    if (manualHeld_) return;
    if (auto code = lastStepIn(now - kMinutesPerWeek - kMinutesPerDay, now)) setRelayCode(*code);
}

void SimulatedTimeSwitch::tick() {
    for (const Frame& f : framer_.expire(host_.nowMs()))
        logLine("rx", f.bytes, "unfinished message given up");
    LocalDateTime now = clock_.local();
    int64_t today = localDayOf(now);
    bool changed = false;
    if (overrideDay_ && today > *overrideDay_) {
        qn510_.endOverride();
        overrideDay_.reset();
        changed = true;
        logLine("--", "", "override ended");
    }
    if (alternateEndDay_ && today >= *alternateEndDay_) {
        qn510_.endAlternateWeek();
        alternateEndDay_.reset();
        changed = true;
        logLine("--", "", "alternate week ended");
    }
    int64_t minute = minuteOf(clock_.now());
    if (!lastMinute_ || changed || minute < *lastMinute_ ||
        minute - *lastMinute_ > kMinutesPerWeek) {
        resyncRelay();
        return;
    }
    if (minute == *lastMinute_) return;
    if (auto code = lastStepIn(*lastMinute_ + 1, minute)) {
        if (now.hour * kMinutesPerHour + now.minute == settings_.faults.missedStepMinute) {
            logLine("--", "", "relay misses the step at " + hhmm(now));
            lastMinute_ = minute;
            return;
        }
        int before = relayCode();
        setRelayCode(*code);
        manualHeld_ = false;
        if (before != relayCode())
            logLine("--", "",
                    std::string("relay ") + (relayOn() ? "ON" : "OFF") + " at " + hhmm(now));
    }
    lastMinute_ = minute;
}

}  // namespace quirn::sim
