#include "comms/ImsiList.h"

#include "platform/FileSystem.h"
#include "platform/TextLines.h"

namespace quirn {

namespace {
constexpr std::string_view kAgencyKey = "agencyID";
constexpr std::string_view kImsiKey = "imsi";

// The text after the first comma up to the next comma or the line's end.
std::string_view valueOf(std::string_view line) {
    std::size_t comma = line.find(',');
    if (comma == std::string_view::npos) return {};
    std::string_view rest = line.substr(comma + 1);
    return rest.substr(0, rest.find(','));
}
}  // namespace

bool ImsiList::load(const std::string& path, bool createWhenMissing) {
    agencyId_ = kAgencyNotRead;
    imsis_.clear();
    if (!fileExists(path)) {
        if (createWhenMissing) touchFile(path);
        return true;
    }
    auto text = readWholeFile(path);
    if (!text) return false;
    parse(*text);
    return true;
}

void ImsiList::parse(std::string_view text) {
    LineReader reader(text);
    std::string_view line;
    while (reader.next(line)) {
        do {
            parseLine(line.substr(0, kLineChunk));
            line.remove_prefix(line.size() < kLineChunk ? line.size() : kLineChunk);
        } while (!line.empty());
    }
}

void ImsiList::parseLine(std::string_view line) {
    if (line.substr(0, kAgencyKey.size()) == kAgencyKey) {
        agencyId_ = std::string(valueOf(line));
    } else if (line.substr(0, kImsiKey.size()) == kImsiKey) {
        std::string_view imsi = valueOf(line);
        // A line without a number offers no IMSI.
        if (!imsi.empty()) imsis_.emplace_back(imsi);
    }
}

}  // namespace quirn
