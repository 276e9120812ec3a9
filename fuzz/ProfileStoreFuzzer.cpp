// The profile store over any file: the input up to its first NUL byte is the file, the next
// NUL-separated parts the section, entry and value of one write. Loading, saving and loading
// again is a fixed point: every entry reads as it did, an entry written back as it was read
// changes nothing a later start reads, a written entry reads back as written after a restart,
// and writing it once more leaves the file byte for byte as it was.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/ProfileStore.h"
#include "platform/TextLines.h"

namespace {

constexpr std::size_t kMaxNames = 24;
// No value of the file holds a NUL byte (the file ends at the input's first one).
const std::string kAbsent("\0absent", 7);

// A folder for the store's file, removed when the program ends.
class ScratchFolder {
  public:
    ScratchFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "quirn-fuzz-XXXXXX");
        if (!mkdtemp(pattern.data())) std::abort();
        path_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::string file(const char* name) const { return (path_ / name).string(); }

  private:
    std::filesystem::path path_;
};

std::string fileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void addName(std::vector<std::string>& names, std::string_view name) {
    if (names.size() >= kMaxNames || name.empty()) return;
    for (const auto& n : names)
        if (n == name) return;
    names.emplace_back(name);
}

// Section and entry names the text may hold, to ask the stores about. Only the questions come
// from here; the answers are compared between stores, so a name missed is only a question less.
void namesIn(std::string_view text, std::vector<std::string>& sections,
             std::vector<std::string>& entries) {
    quirn::LineReader reader(text);
    std::string_view line;
    while (reader.next(line)) {
        line = quirn::trimBlanks(line);
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']')
            addName(sections, quirn::trimBlanks(line.substr(1, line.size() - 2)));
        else if (std::size_t eq = line.find('='); eq != std::string_view::npos)
            addName(entries, quirn::trimBlanks(line.substr(0, eq)));
    }
}

// A name the file's syntax can hold as it is: none of the characters that end or mark a line,
// no blanks at its ends. Empty gives the fallback.
std::string nameFrom(std::string_view part, const char* fallback) {
    std::string name;
    for (char c : part)
        if (c != '\r' && c != '\n' && c != '=' && c != '[' && c != ']' && c != ';') name += c;
    name = std::string(quirn::trimBlanks(name));
    return name.empty() ? fallback : name;
}

// A value as a line can hold it: no line breaks, no blanks at its end.
std::string valueFrom(std::string_view part) {
    std::string value;
    for (char c : part)
        if (c != '\r' && c != '\n') value += c;
    while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.pop_back();
    return value;
}

using Readings = std::vector<std::string>;

Readings readAll(const quirn::ProfileStore& store, const std::vector<std::string>& sections,
                 const std::vector<std::string>& entries) {
    Readings out;
    for (const auto& s : sections)
        for (const auto& e : entries) out.push_back(store.getString(s, e, kAbsent));
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const ScratchFolder folder;
    const std::string path = folder.file("quirnradio.ini");
    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::vector<std::string_view> parts;
    for (std::size_t at = 0;;) {
        std::size_t nul = input.find('\0', at);
        parts.push_back(input.substr(at, nul == std::string_view::npos ? nul : nul - at));
        if (nul == std::string_view::npos) break;
        at = nul + 1;
    }
    parts.resize(std::max<std::size_t>(parts.size(), 4));
    const std::string text(parts[0]);
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << text;
        if (!out) std::abort();
    }
    std::vector<std::string> sections, entries;
    namesIn(text, sections, entries);
    const std::string section = nameFrom(parts[1], "Commo");
    const std::string entry = nameFrom(parts[2], "Port");
    const std::string value = valueFrom(parts[3]);
    addName(sections, section);
    addName(entries, entry);

    quirn::ProfileStore loaded(path);
    const Readings before = readAll(loaded, sections, entries);

    // Every entry read written back as it was: a later start reads the same.
    for (std::size_t i = 0; i < before.size(); ++i) {
        if (before[i] == kAbsent) continue;
        const std::string& s = sections[i / entries.size()];
        const std::string& e = entries[i % entries.size()];
        if (!loaded.writeString(s, e, before[i])) std::abort();
        if (readAll(quirn::ProfileStore(path), sections, entries) != before) std::abort();
        break;
    }

    // A new value: read back as written now and after a restart; nothing else moves.
    if (!loaded.writeString(section, entry, value)) std::abort();
    if (loaded.getString(section, entry, kAbsent) != value) std::abort();
    const std::string saved = fileText(path);
    quirn::ProfileStore restarted(path);
    const Readings after = readAll(restarted, sections, entries);
    for (std::size_t i = 0; i < before.size(); ++i) {
        bool written =
            sections[i / entries.size()] == section && entries[i % entries.size()] == entry;
        if (written ? after[i] != value : after[i] != before[i]) std::abort();
    }
    if (restarted.getInt(section, entry, -1) != quirn::atoiField(value)) std::abort();

    // Saving the same again is a fixed point of the file.
    if (!restarted.writeString(section, entry, value)) std::abort();
    if (fileText(path) != saved) std::abort();
    if (readAll(quirn::ProfileStore(path), sections, entries) != after) std::abort();
    return 0;
}
