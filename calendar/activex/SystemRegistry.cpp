#include "calendar/activex/SystemRegistry.h"

#include <windows.h>

#include <cstring>

#include "calendar/com/RegistryFile.h"
#include "platform/Win32Text.h"

namespace quirn::activex {

namespace {

// The entries name keys from the root's own name down; the system's calls take the rest.
std::wstring belowRoot(const std::string& key) {
    const size_t prefix = std::strlen(vorncal::kClassesRootPrefix);
    return win32::widened(
        key.compare(0, prefix, vorncal::kClassesRootPrefix) == 0 ? key.substr(prefix) : key);
}

bool writeEntry(const vorncal::RegistryEntry& e) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, belowRoot(e.key).c_str(), 0, nullptr, 0, KEY_WRITE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    LONG rc = ERROR_SUCCESS;
    if (!e.keyOnly) {
        const std::wstring name =
            e.name == com::kDefaultValueName ? std::wstring() : win32::widened(e.name);
        const std::wstring value = win32::widened(e.value);
        rc = RegSetValueExW(key, name.empty() ? nullptr : name.c_str(), 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    }
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

}  // namespace

bool writeClassesRoot(const std::vector<vorncal::RegistryEntry>& entries) {
    for (const vorncal::RegistryEntry& e : entries)
        if (!writeEntry(e)) return false;
    return true;
}

bool removeClassesRootTrees(const std::vector<std::string>& keys) {
    bool ok = true;
    for (const std::string& key : keys) {
        const LSTATUS rc = RegDeleteTreeW(HKEY_CLASSES_ROOT, belowRoot(key).c_str());
        if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND) ok = false;
    }
    return ok;
}

}  // namespace quirn::activex
