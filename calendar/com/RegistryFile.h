#pragma once
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace quirn::com {

// Our stand-in for the system registry: keys (paths such as
// "HKEY_CLASSES_ROOT\CLSID\{...}\InprocServer32") holding named text values, kept in an
// INI-style file: "[key]" lines, then "name=value" lines; "@" names a key's default value.
// Lines starting with ';' are comments. Keys keep their place even without values.
class RegistryFile {
  public:
    explicit RegistryFile(std::string path) : path_(std::move(path)) {}

    // Reads the file. A missing file reads as empty (true); false when the file is there but
    // cannot be read, which leaves the keys empty.
    bool load();
    // Writes the whole file atomically, creating its folders; false on failure.
    bool save() const;

    void createKey(const std::string& key);
    // Creates the key when missing. Line ends in the value become spaces.
    void setValue(const std::string& key, const std::string& name, const std::string& value);
    bool hasKey(const std::string& key) const;
    std::optional<std::string> value(const std::string& key, const std::string& name) const;
    // Removes the key and every key below it; returns how many went.
    int removeTree(const std::string& key);
    std::vector<std::string> keys() const;

    const std::string& path() const { return path_; }

  private:
    std::string path_;
    std::map<std::string, std::map<std::string, std::string>> keys_;
};

inline constexpr const char* kDefaultValueName = "@";
inline constexpr const char* kRegistryEnvironmentVariable = "VORNCAL_REGISTRY";

// The registry file the module registers into: $VORNCAL_REGISTRY when set; else
// "$XDG_CONFIG_HOME/quirn/vorncal-registry.ini"; else "$HOME/.config/quirn/vorncal-registry.ini"
// (on Windows "%APPDATA%\Quirn\vorncal-registry.ini").
std::string defaultRegistryPath();

}  // namespace quirn::com
