#include "platform/ProfileStore.h"

#include <vector>

#include "platform/TextLines.h"

namespace quirn {

namespace {

// "[Section]" gives "Section"; nothing for any other line.
std::optional<std::string_view> sectionName(std::string_view line) {
    line = trimBlanks(line);
    if (line.size() < 2 || line.front() != '[' || line.back() != ']') return std::nullopt;
    return trimBlanks(line.substr(1, line.size() - 2));
}

// "Entry=value" gives "Entry"; nothing for comments and other lines.
std::optional<std::string_view> entryName(std::string_view line) {
    line = trimBlanks(line);
    if (line.empty() || line[0] == ';') return std::nullopt;
    size_t eq = line.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    return trimBlanks(line.substr(0, eq));
}

// The file's text with one entry set: its line is replaced where it stands, or added at the end
// of its section (the section is added at the end when missing). Every other line, comments
// and entries this program does not know included, stays as it is. A file edited by hand may
// name the entry twice, or the section twice: a read takes the last, so that is the line
// replaced, or the write would be lost at the next start.
std::string withEntry(std::string_view text, const std::string& section, const std::string& entry,
                      const std::string& value) {
    std::vector<std::string_view> lines = splitLines(text);
    const std::string newLine = entry + "=" + value;
    std::optional<size_t> sectionAt;
    std::optional<size_t> replaceAt;
    size_t insertAt = lines.size();
    bool inSection = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (auto name = sectionName(lines[i])) {
            if (sectionAt && insertAt == lines.size()) insertAt = i;
            inSection = *name == section;
            if (!sectionAt && inSection) sectionAt = i;
            continue;
        }
        if (inSection) {
            auto name = entryName(lines[i]);
            if (name && *name == entry) replaceAt = i;
        }
    }
    // An added entry goes after the section's last line that is not blank.
    if (sectionAt && !replaceAt)
        while (insertAt > *sectionAt + 1 && trimBlanks(lines[insertAt - 1]).empty()) --insertAt;

    CrLfWriter out;
    // The lines are read past a leading byte-order mark; the file keeps its own, so that a
    // first line beginning with another one stays that line's.
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) out.text(kByteOrderMark);
    for (size_t i = 0; i < lines.size(); ++i) {
        if (sectionAt && !replaceAt && i == insertAt) out.text(newLine).endLine();
        out.text(replaceAt && i == *replaceAt ? std::string_view(newLine) : lines[i]).endLine();
    }
    if (sectionAt && !replaceAt && insertAt == lines.size()) out.text(newLine).endLine();
    if (!sectionAt) out.text("[").text(section).text("]").endLine().text(newLine).endLine();
    return out.take();
}

}  // namespace

ProfileStore::ProfileStore(std::string path, Writes writes)
    : path_(std::move(path)), writes_(writes) {
    reload();
}

void ProfileStore::reload() {
    auto text = unreadableFiles_.loadIfPresent(path_);
    parse(text ? *text : std::string_view());
}

void ProfileStore::parse(std::string_view text) {
    sections_.clear();
    std::string current;
    LineReader reader(text);
    std::string_view line;
    while (reader.next(line)) {
        if (auto name = sectionName(line)) {
            current = std::string(*name);
            continue;
        }
        auto name = entryName(line);
        if (!name || current.empty()) continue;
        line = trimBlanks(line);
        sections_[current][std::string(*name)] = std::string(line.substr(line.find('=') + 1));
    }
}

int ProfileStore::getInt(const std::string& section, const std::string& entry,
                         int defaultValue) const {
    auto s = sections_.find(section);
    if (s == sections_.end()) return defaultValue;
    auto e = s->second.find(entry);
    if (e == s->second.end()) return defaultValue;
    return atoiField(e->second);
}

std::string ProfileStore::getString(const std::string& section, const std::string& entry,
                                    const std::string& defaultValue) const {
    auto s = sections_.find(section);
    if (s == sections_.end()) return defaultValue;
    auto e = s->second.find(entry);
    return e == s->second.end() ? defaultValue : e->second;
}

bool ProfileStore::writeInt(const std::string& section, const std::string& entry, int value) {
    return writeString(section, entry, std::to_string(value));
}

bool ProfileStore::writeString(const std::string& section, const std::string& entry,
                               const std::string& value) {
    std::string clean;
    for (char c : value)
        if (c != '\r' && c != '\n') clean += c;
    if (writes_ == Writes::InMemory) {
        sections_[section][entry] = clean;
        return true;
    }
    // Another program (or the technician with an editor) may have changed the file since it
    // was read: the change goes over the file as it is now, so nothing else in it is lost.
    std::optional<std::string> onDisk = unreadableFiles_.loadIfPresent(path_);
    if (!onDisk && unreadableFiles_.contains(path_)) {
        sections_[section][entry] = clean;
        return false;
    }
    std::string text = withEntry(onDisk ? *onDisk : std::string_view(), section, entry, clean);
    bool saved = unreadableFiles_.replace(path_, text);
    if (saved) parse(text);
    sections_[section][entry] = clean;
    return saved;
}

}  // namespace quirn
