#include "platform/ProfileStore.h"

#include "platform/AtomicFile.h"
#include "platform/FileSystem.h"
#include "platform/TextLines.h"

namespace quirn {

ProfileStore::ProfileStore(std::string path) : path_(std::move(path)) { reload(); }

void ProfileStore::reload() {
    sections_.clear();
    auto text = readWholeFile(path_);
    if (!text) return;
    std::string current;
    LineReader reader(*text);
    std::string_view line;
    while (reader.next(line)) {
        line = trimBlanks(line);
        if (line.empty() || line[0] == ';') continue;
        if (line.front() == '[' && line.back() == ']') {
            current = std::string(trimBlanks(line.substr(1, line.size() - 2)));
            continue;
        }
        size_t eq = line.find('=');
        if (eq == std::string_view::npos || current.empty()) continue;
        sections_[current][std::string(trimBlanks(line.substr(0, eq)))] =
            std::string(line.substr(eq + 1));
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
    sections_[section][entry] = clean;
    return save();
}

bool ProfileStore::save() const {
    CrLfWriter out;
    for (const auto& [section, entries] : sections_) {
        out.text("[").text(section).text("]").endLine();
        for (const auto& [entry, value] : entries) out.text(entry).text("=").text(value).endLine();
    }
    return replaceFileAtomically(path_, out.str());
}

}  // namespace quirn
