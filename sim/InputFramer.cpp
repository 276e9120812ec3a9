#include "sim/InputFramer.h"

#include <array>

#include "sim/ProgramMemory.h"

namespace quirn::sim {

namespace {

constexpr char kPagedStart = '@';
constexpr char kPagedEnd = '#';
constexpr char kReadPrefix = 'X';
constexpr char kReadEnd = 'o';
constexpr char kSentenceStart = '$';
constexpr size_t kChecksumChars = 4;
constexpr size_t kLongestRead = 12;  // "X@1R0102o" with room to spare
constexpr std::string_view kPageAll = "@P#";
constexpr std::string_view kImageMark = "MX40";
constexpr size_t kImageLength = ProgramMemory::kSize;
constexpr size_t kBcdTimeLength = 12;
constexpr size_t kBcdRelayLength = 6;
constexpr size_t kReadLength = 6;
constexpr size_t kQueryLength = 8;
constexpr size_t kBaudLength = 12;
constexpr size_t kSentenceLengthAt = 5;  // "$S" + three address bytes, then two length bytes
constexpr size_t kSentenceMinimum = 12;  // "$S", address, length, "*hh" and a little payload

struct FixedMessage {
    std::string_view start;
    size_t length;
    FrameKind kind;
};

constexpr std::array<FixedMessage, 6> kFixed = {{
    {"$T", kBcdTimeLength, FrameKind::BcdTime},
    {"$M", kBcdRelayLength, FrameKind::BcdRelay},
    {"$Q", kQueryLength, FrameKind::QuerySentence},
    {"$B", kBaudLength, FrameKind::BaudSentence},
    {"C78", kReadLength, FrameKind::ReadMx40},
    {"C79", kReadLength, FrameKind::ReadLr40},
}};

struct KindName {
    FrameKind kind;
    const char* name;
};

constexpr std::array<KindName, 13> kKindNames = {{
    {FrameKind::Paged, "paged"},
    {FrameKind::PagedRead, "read"},
    {FrameKind::PageAll, "page-all"},
    {FrameKind::BcdTime, "$T time"},
    {FrameKind::BcdRelay, "$M relay"},
    {FrameKind::ReadMx40, "C78 read"},
    {FrameKind::ReadLr40, "C79 read"},
    {FrameKind::ProgramSentence, "S sentence"},
    {FrameKind::QuerySentence, "Q sentence"},
    {FrameKind::BaudSentence, "B sentence"},
    {FrameKind::ProgramImage, "program image"},
    {FrameKind::Acknowledge, "acknowledgement"},
    {FrameKind::Junk, "unknown bytes"},
}};

// True when `text` could still become `whole` as more bytes arrive (or already starts with it).
bool couldStart(std::string_view text, std::string_view whole) {
    size_t n = text.size() < whole.size() ? text.size() : whole.size();
    return text.substr(0, n) == whole.substr(0, n);
}

}  // namespace

const char* frameKindName(FrameKind kind) {
    for (const KindName& k : kKindNames)
        if (k.kind == kind) return k.name;
    return "";
}

long InputFramer::messageLength() const {
    std::string_view p = pending_;
    if (p.empty()) return 0;
    for (const FixedMessage& f : kFixed) {
        if (p.size() < f.start.size()) {
            if (couldStart(p, f.start)) return 0;
        } else if (p.substr(0, f.start.size()) == f.start) {
            return static_cast<long>(f.length);
        }
    }
    if (couldStart(p, kPageAll) && p.size() < kPageAll.size()) return 0;
    if (p.substr(0, kPageAll.size()) == kPageAll) return static_cast<long>(kPageAll.size());
    if (couldStart(p, kImageMark)) {
        return p.size() < kImageMark.size() ? 0 : static_cast<long>(kImageLength);
    }
    if (p[0] == kPagedStart) {
        for (size_t i = 1; i < p.size(); ++i) {
            if (p[i] == kPagedStart) return -static_cast<long>(i);  // a new start: drop the old
            if (p[i] == kPagedEnd) {
                size_t whole = i + 1 + kChecksumChars;
                return p.size() >= whole ? static_cast<long>(whole) : 0;
            }
        }
        return p.size() >= kMaxPending ? -1 : 0;
    }
    if (p[0] == kReadPrefix) {
        if (p.size() < 2) return 0;
        if (p[1] != kPagedStart) return -1;
        for (size_t i = 2; i < p.size() && i < kLongestRead; ++i)
            if (p[i] == kReadEnd) return static_cast<long>(i + 1);
        return p.size() >= kLongestRead ? -1 : 0;
    }
    if (p[0] == kSentenceStart) {
        if (p.size() < 2) return 0;
        if (p[1] != 'S') return -1;
        if (p.size() < kSentenceLengthAt + 2) return 0;
        long length = static_cast<unsigned char>(p[kSentenceLengthAt]) * 256L +
                      static_cast<unsigned char>(p[kSentenceLengthAt + 1]);
        if (length < static_cast<long>(kSentenceMinimum) || length > static_cast<long>(kMaxPending))
            return -1;
        return length;
    }
    if (p[0] == 'K') return 1;
    if (p[0] == '\0') {
        // An all-zero image clears the program; any other byte ends the run as junk.
        for (size_t i = 1; i < p.size() && i < kImageLength; ++i)
            if (p[i] != '\0') return -static_cast<long>(i);
        return static_cast<long>(kImageLength);
    }
    return -1;
}

void InputFramer::appendJunk(std::vector<Frame>& out, size_t count) {
    if (!out.empty() && out.back().kind == FrameKind::Junk)
        out.back().bytes += pending_.substr(0, count);
    else
        out.push_back({FrameKind::Junk, pending_.substr(0, count)});
    pending_.erase(0, count);
}

std::vector<Frame> InputFramer::push(std::string_view bytes, long long nowMs) {
    std::vector<Frame> out = expire(nowMs);
    if (!bytes.empty()) lastByteMs_ = nowMs;
    pending_.append(bytes);
    // Each turn either completes a message, drops junk, or stops to wait: bounded by the bytes.
    while (!pending_.empty()) {
        long length = messageLength();
        if (length < 0) {
            appendJunk(out, static_cast<size_t>(-length));
            continue;
        }
        if (length == 0 || pending_.size() < static_cast<size_t>(length)) break;
        Frame f;
        f.bytes = pending_.substr(0, static_cast<size_t>(length));
        pending_.erase(0, static_cast<size_t>(length));
        std::string_view b = f.bytes;
        if (b == kPageAll) {
            f.kind = FrameKind::PageAll;
        } else if (b[0] == kPagedStart) {
            f.kind = FrameKind::Paged;
        } else if (b[0] == kReadPrefix) {
            f.kind = FrameKind::PagedRead;
        } else if (b[0] == 'K') {
            f.kind = FrameKind::Acknowledge;
        } else if (b.substr(0, kImageMark.size()) == kImageMark || b[0] == '\0') {
            f.kind = FrameKind::ProgramImage;
        } else if (b.substr(0, 2) == "$S") {
            f.kind = FrameKind::ProgramSentence;
        } else {
            for (const FixedMessage& m : kFixed)
                if (b.substr(0, m.start.size()) == m.start) f.kind = m.kind;
        }
        out.push_back(std::move(f));
    }
    return out;
}

std::vector<Frame> InputFramer::expire(long long nowMs) {
    std::vector<Frame> out;
    if (!pending_.empty() && nowMs - lastByteMs_ > kStaleMs) appendJunk(out, pending_.size());
    return out;
}

}  // namespace quirn::sim
