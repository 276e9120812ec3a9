#include "calendar/com/Registration.h"

#include <string_view>
#include <utility>

#include "calendar/com/RegistryFile.h"
#include "calendar/com/VornCalendarTypeLib.h"

namespace quirn::vorncal {

using namespace quirn::com;

namespace {

constexpr const char* kVersionText = "1.0";
constexpr const char* kDefaultLocale = "0";  // LCID of a language-neutral type library
#ifdef _WIN32
constexpr const char* kTypeLibPlatform = "win32";
#else
constexpr const char* kTypeLibPlatform = "posix";
#endif
// The automation marshaller every dispinterface names as its proxy.
constexpr const char* kDispatchProxy = "{00020420-0000-0000-C000-000000000046}";

std::string sub(const std::string& key, std::string_view name) {
    return key + "\\" + std::string(name);
}

std::string folderOf(const std::string& path) {
    const size_t last = path.find_last_of("/\\");
    return last == std::string::npos ? std::string() : path.substr(0, last + 1);
}

void add(std::vector<RegistryEntry>& out, const std::string& key, std::string_view name,
         const std::string& value) {
    out.push_back({key, std::string(name), value, false});
}

void addKey(std::vector<RegistryEntry>& out, const std::string& key) {
    out.push_back({key, std::string(), std::string(), true});
}

void addServerClass(std::vector<RegistryEntry>& out, const Guid& clsid, const char* progId,
                    const char* description, const std::string& modulePath) {
    const std::string key = classKey(clsid);
    add(out, key, kDefaultValueName, description);
    add(out, sub(key, kInprocServer), kDefaultValueName, modulePath);
    add(out, sub(key, kInprocServer), kThreadingModelName, kApartmentThreading);
    add(out, sub(key, "ProgID"), kDefaultValueName, progId);
    add(out, progIdKey(progId), kDefaultValueName, description);
    add(out, sub(progIdKey(progId), "CLSID"), kDefaultValueName, guidText(clsid));
}

void write(RegistryFile& reg, const std::vector<RegistryEntry>& entries) {
    for (const RegistryEntry& e : entries) {
        if (e.keyOnly)
            reg.createKey(e.key);
        else
            reg.setValue(e.key, e.name, e.value);
    }
}

int removeAll(RegistryFile& reg, const std::vector<std::string>& keys) {
    int removed = 0;
    for (const std::string& key : keys) removed += reg.removeTree(key);
    return removed;
}

// One step of (un)registration: load, change, save when something changed.
template <typename Change>
bool step(const std::string& registryPath, Change change) {
    RegistryFile reg(registryPath);
    if (!reg.load()) return false;
    return !change(reg) || reg.save();
}

}  // namespace

std::string classKey(const Guid& clsid) {
    return kClassesRootPrefix + std::string("CLSID\\") + guidText(clsid);
}
std::string progIdKey(const std::string& progId) {
    return kClassesRootPrefix + progId;
}
std::string typeLibKey(const Guid& libId) {
    return kClassesRootPrefix + std::string("TypeLib\\") + guidText(libId);
}
std::string interfaceKey(const Guid& iid) {
    return kClassesRootPrefix + std::string("Interface\\") + guidText(iid);
}

std::vector<RegistryEntry> typeLibraryEntries(const std::string& modulePath) {
    std::vector<RegistryEntry> out;
    const std::string lib = sub(typeLibKey(kLibId), kVersionText);
    add(out, lib, kDefaultValueName, kTypeLibHelp);
    add(out, lib, "Name", kTypeLibName);
    add(out, sub(sub(lib, kDefaultLocale), kTypeLibPlatform), kDefaultValueName, modulePath);
    add(out, sub(lib, "FLAGS"), kDefaultValueName, "0");
    add(out, sub(lib, "HELPDIR"), kDefaultValueName, folderOf(modulePath));
    const std::pair<Guid, const char*> interfaces[] = {{kDiidDispatch, kDispatchName},
                                                       {kDiidEvents, kEventsName}};
    for (const auto& [iid, name] : interfaces) {
        const std::string key = interfaceKey(iid);
        add(out, key, kDefaultValueName, name);
        add(out, sub(key, "ProxyStubClsid32"), kDefaultValueName, kDispatchProxy);
        add(out, sub(key, "TypeLib"), kDefaultValueName, guidText(kLibId));
        add(out, sub(key, "TypeLib"), "Version", kVersionText);
    }
    return out;
}

std::vector<RegistryEntry> classEntries(const std::string& modulePath) {
    std::vector<RegistryEntry> out;
    addServerClass(out, kClsidControl, kControlProgId, kControlDescription, modulePath);
    const std::string key = classKey(kClsidControl);
    addKey(out, sub(key, "Insertable"));
    addKey(out, sub(key, "Control"));
    add(out, sub(key, "MiscStatus"), kDefaultValueName, "0");
    add(out, sub(sub(key, "MiscStatus"), kMiscStatusAspect), kDefaultValueName,
        std::to_string(kMiscStatus));
    add(out, sub(key, "TypeLib"), kDefaultValueName, guidText(kLibId));
    add(out, sub(key, "Version"), kDefaultValueName, kVersionText);
    add(out, sub(key, "CoClass"), kDefaultValueName, kCoClassName);
    addKey(out, sub(progIdKey(kControlProgId), "Insertable"));
    addServerClass(out, kClsidPropPage, kPropPageProgId, kPropPageDescription, modulePath);
    return out;
}

std::vector<std::string> typeLibraryKeys() {
    return {typeLibKey(kLibId), interfaceKey(kDiidDispatch), interfaceKey(kDiidEvents)};
}

std::vector<std::string> classKeys() {
    return {classKey(kClsidControl), progIdKey(kControlProgId), classKey(kClsidPropPage),
            progIdKey(kPropPageProgId)};
}

HResult registerServer(const std::string& registryPath, const std::string& modulePath) {
    if (!step(registryPath, [&](RegistryFile& reg) {
            write(reg, typeLibraryEntries(modulePath));
            return true;
        }))
        return kSelfRegTypeLib;
    if (!step(registryPath, [&](RegistryFile& reg) {
            write(reg, classEntries(modulePath));
            return true;
        }))
        return kSelfRegClass;
    return kOk;
}

HResult unregisterServer(const std::string& registryPath) {
    if (!step(registryPath,
              [](RegistryFile& reg) { return removeAll(reg, typeLibraryKeys()) > 0; }))
        return kSelfRegTypeLib;
    if (!step(registryPath, [](RegistryFile& reg) { return removeAll(reg, classKeys()) > 0; }))
        return kSelfRegClass;
    return kOk;
}

std::optional<Guid> classFromProgId(const std::string& registryPath, const std::string& progId) {
    RegistryFile reg(registryPath);
    if (!reg.load()) return std::nullopt;
    std::optional<std::string> text = reg.value(sub(progIdKey(progId), "CLSID"), kDefaultValueName);
    return text ? parseGuid(*text) : std::nullopt;
}

std::optional<std::string> registeredModule(const std::string& registryPath, const Guid& clsid) {
    RegistryFile reg(registryPath);
    if (!reg.load()) return std::nullopt;
    return reg.value(sub(classKey(clsid), kInprocServer), kDefaultValueName);
}

}  // namespace quirn::vorncal
