#include "fleetsend/SendLedger.h"

#include <charconv>
#include <vector>

#include "platform/AtomicFile.h"
#include "platform/FileSystem.h"

namespace quirn {

namespace {
constexpr const char* kHeader = "MasterGroup,Group,Location,SentAt,Bytes,Changed";

std::vector<std::string_view> fields(std::string_view line) {
    std::vector<std::string_view> out;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= line.size(); ++i) {
        if (i == line.size() || line[i] == ',') {
            out.push_back(line.substr(start, i - start));
            start = i + 1;
        }
    }
    return out;
}

template <typename T>
bool number(std::string_view text, T& out) {
    if (text.empty()) return false;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out);
    return error == std::errc() && end == text.data() + text.size();
}
}  // namespace

bool SendLedger::load(const std::string& path) {
    path_ = path;
    entries_.clear();
    skipped_ = 0;
    dirty_ = false;
    if (!pathExists(path)) return true;
    std::optional<std::string> text = readWholeFile(path);
    if (!text) return false;
    std::string_view rest(*text);
    while (!rest.empty()) {
        std::size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line == kHeader) continue;
        const auto f = fields(line);
        LocationKey key;
        Entry entry;
        long long sentAt = 0;
        int changed = 0;
        if (f.size() != 6 || !number(f[0], key.masterGroup) || !number(f[1], key.group) ||
            !number(f[2], key.location) || !number(f[3], sentAt) || !number(f[4], entry.bytes) ||
            !number(f[5], changed) || changed < 0 || changed > 1 || sentAt < 0) {
            ++skipped_;
            continue;
        }
        entry.sentAt = static_cast<std::time_t>(sentAt);
        entry.changed = changed == 1;
        entries_[key] = entry;
    }
    return true;
}

std::string SendLedger::text() const {
    std::string out = std::string(kHeader) + "\r\n";
    out.reserve(entries_.size() * 32);
    // Six numbers of at most 20 characters, each with the character after it, then '\n'.
    char line[6 * 21 + 2];
    for (const auto& [key, e] : entries_) {
        char* at = line;
        char* const end = line + sizeof line;
        auto put = [&](long long n, char after) {
            // Room is left for the character after it and the line's end, whatever the number.
            at = std::to_chars(at, end - 2, n).ptr;
            *at++ = after;
        };
        put(key.masterGroup, ',');
        put(key.group, ',');
        put(key.location, ',');
        put(static_cast<long long>(e.sentAt), ',');
        put(static_cast<long long>(e.bytes), ',');
        put(e.changed ? 1 : 0, '\r');
        *at++ = '\n';
        out.append(line, static_cast<std::size_t>(at - line));
    }
    return out;
}

bool SendLedger::save() {
    if (path_.empty()) return false;
    if (!replaceFileAtomically(path_, text())) return false;
    dirty_ = false;
    return true;
}

bool SendLedger::isChanged(const LocationKey& key) const {
    const Entry* e = find(key);
    return e == nullptr || e->changed;
}

const SendLedger::Entry* SendLedger::find(const LocationKey& key) const {
    auto it = entries_.find(key);
    return it == entries_.end() ? nullptr : &it->second;
}

void SendLedger::recordSent(const LocationKey& key, std::time_t when, std::size_t bytes) {
    recordSent(key, when, bytes, marks_);
}

void SendLedger::recordSent(const LocationKey& key, std::time_t when, std::size_t bytes,
                            std::uint64_t marksWhenBuilt) {
    entries_[key] = Entry{when, bytes, markedSince(key, marksWhenBuilt)};
    dirty_ = true;
}

bool SendLedger::markedSince(const LocationKey& key, std::uint64_t marks) const {
    if (allMarkedAt_ > marks) return true;
    auto it = groupMarkedAt_.find({key.masterGroup, key.group});
    return it != groupMarkedAt_.end() && it->second > marks;
}

void SendLedger::markGroupChanged(int masterGroup, int group) {
    groupMarkedAt_[{masterGroup, group}] = ++marks_;
    auto it = entries_.lower_bound(LocationKey{masterGroup, group, 0});
    for (; it != entries_.end() && it->first.masterGroup == masterGroup && it->first.group == group;
         ++it) {
        if (!it->second.changed) dirty_ = true;
        it->second.changed = true;
    }
}

void SendLedger::markAllChanged() {
    allMarkedAt_ = ++marks_;
    for (auto& [key, e] : entries_) {
        if (!e.changed) dirty_ = true;
        e.changed = true;
    }
}

}  // namespace quirn
