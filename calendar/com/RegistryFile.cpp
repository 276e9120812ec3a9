#include "calendar/com/RegistryFile.h"

#include <cstdlib>

#include "platform/AtomicFile.h"
#include "platform/FileSystem.h"
#include "platform/TextLines.h"

namespace quirn::com {

namespace {

std::string withoutLineEnds(std::string text) {
    for (char& c : text)
        if (c == '\r' || c == '\n') c = ' ';
    return text;
}

// Creates every folder on the way to `path`'s folder.
bool makeParentFolders(const std::string& path) {
    const size_t last = path.find_last_of("/\\");
    if (last == std::string::npos || last == 0) return true;
    // makeFolders knows a drive ("C:") or a share from a folder it may create.
    return makeFolders(path.substr(0, last));
}

std::string envOr(const char* name, const std::string& fallback) {
    const char* v = std::getenv(name);
    return v && *v ? std::string(v) : fallback;
}

}  // namespace

bool RegistryFile::load() {
    keys_.clear();
    if (folderExists(path_)) return false;
    if (!fileExists(path_)) return true;
    std::optional<std::string> text = readWholeFile(path_);
    if (!text) return false;
    std::map<std::string, std::string>* current = nullptr;
    LineReader lines(*text);
    for (std::string_view line; lines.next(line);) {
        line = trimBlanks(line);
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[') {
            const size_t close = line.rfind(']');
            if (close == std::string_view::npos || close == 0) {
                current = nullptr;
                continue;
            }
            current = &keys_[std::string(line.substr(1, close - 1))];
            continue;
        }
        const size_t eq = line.find('=');
        if (!current || eq == std::string_view::npos) continue;
        (*current)[std::string(trimBlanks(line.substr(0, eq)))] = std::string(line.substr(eq + 1));
    }
    return true;
}

bool RegistryFile::save() const {
    CrLfWriter out;
    out.text("; VornCalendarIII registry (written by the control's self-registration)").endLine();
    for (const auto& [key, values] : keys_) {
        out.text("[").text(key).text("]").endLine();
        for (const auto& [name, value] : values) out.text(name).text("=").text(value).endLine();
    }
    return makeParentFolders(path_) && replaceFileAtomically(path_, out.str());
}

void RegistryFile::createKey(const std::string& key) {
    keys_[key];
}

void RegistryFile::setValue(const std::string& key, const std::string& name,
                            const std::string& value) {
    keys_[key][withoutLineEnds(name)] = withoutLineEnds(value);
}

bool RegistryFile::hasKey(const std::string& key) const {
    return keys_.count(key) != 0;
}

std::optional<std::string> RegistryFile::value(const std::string& key,
                                               const std::string& name) const {
    auto k = keys_.find(key);
    if (k == keys_.end()) return std::nullopt;
    auto v = k->second.find(name);
    if (v == k->second.end()) return std::nullopt;
    return v->second;
}

int RegistryFile::removeTree(const std::string& key) {
    int removed = 0;
    const std::string below = key + "\\";
    for (auto it = keys_.begin(); it != keys_.end();) {
        if (it->first == key || it->first.compare(0, below.size(), below) == 0) {
            it = keys_.erase(it);
            ++removed;
        } else {
            ++it;
        }
    }
    return removed;
}

std::vector<std::string> RegistryFile::keys() const {
    std::vector<std::string> out;
    out.reserve(keys_.size());
    for (const auto& entry : keys_) out.push_back(entry.first);
    return out;
}

std::string defaultRegistryPath() {
    const char* fileName = "vorncal-registry.ini";
    if (const char* explicitPath = std::getenv(kRegistryEnvironmentVariable);
        explicitPath && *explicitPath)
        return explicitPath;
#ifdef _WIN32
    return envOr("APPDATA", ".") + "\\Quirn\\" + fileName;
#else
    const std::string config = envOr("XDG_CONFIG_HOME", envOr("HOME", ".") + "/.config");
    return config + "/quirn/" + fileName;
#endif
}

}  // namespace quirn::com
