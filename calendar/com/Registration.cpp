#include "calendar/com/Registration.h"

#include <string_view>

#include "calendar/com/RegistryFile.h"
#include "calendar/com/VornCalendarTypeLib.h"

namespace quirn::vorncal {

using namespace quirn::com;

namespace {

constexpr const char* kClassesRoot = "HKEY_CLASSES_ROOT\\";
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

void writeTypeLibrary(RegistryFile& reg, const std::string& modulePath) {
    const std::string lib = sub(typeLibKey(kLibId), kVersionText);
    reg.setValue(lib, kDefaultValueName, kTypeLibHelp);
    reg.setValue(lib, "Name", kTypeLibName);
    reg.setValue(sub(sub(lib, kDefaultLocale), kTypeLibPlatform), kDefaultValueName, modulePath);
    reg.setValue(sub(lib, "FLAGS"), kDefaultValueName, "0");
    reg.setValue(sub(lib, "HELPDIR"), kDefaultValueName, folderOf(modulePath));
    const std::pair<Guid, const char*> interfaces[] = {{kDiidDispatch, kDispatchName},
                                                       {kDiidEvents, kEventsName}};
    for (const auto& [iid, name] : interfaces) {
        const std::string key = interfaceKey(iid);
        reg.setValue(key, kDefaultValueName, name);
        reg.setValue(sub(key, "ProxyStubClsid32"), kDefaultValueName, kDispatchProxy);
        reg.setValue(sub(key, "TypeLib"), kDefaultValueName, guidText(kLibId));
        reg.setValue(sub(key, "TypeLib"), "Version", kVersionText);
    }
}

void writeServerClass(RegistryFile& reg, const Guid& clsid, const char* progId,
                      const char* description, const std::string& modulePath) {
    const std::string key = classKey(clsid);
    reg.setValue(key, kDefaultValueName, description);
    reg.setValue(sub(key, kInprocServer), kDefaultValueName, modulePath);
    reg.setValue(sub(key, kInprocServer), kThreadingModelName, kApartmentThreading);
    reg.setValue(sub(key, "ProgID"), kDefaultValueName, progId);
    reg.setValue(progIdKey(progId), kDefaultValueName, description);
    reg.setValue(sub(progIdKey(progId), "CLSID"), kDefaultValueName, guidText(clsid));
}

void writeClasses(RegistryFile& reg, const std::string& modulePath) {
    writeServerClass(reg, kClsidControl, kControlProgId, kControlDescription, modulePath);
    const std::string key = classKey(kClsidControl);
    reg.createKey(sub(key, "Insertable"));
    reg.createKey(sub(key, "Control"));
    reg.setValue(sub(key, "MiscStatus"), kDefaultValueName, "0");
    reg.setValue(sub(sub(key, "MiscStatus"), "1"), kDefaultValueName, std::to_string(kMiscStatus));
    reg.setValue(sub(key, "TypeLib"), kDefaultValueName, guidText(kLibId));
    reg.setValue(sub(key, "Version"), kDefaultValueName, kVersionText);
    reg.setValue(sub(key, "CoClass"), kDefaultValueName, kCoClassName);
    reg.createKey(sub(progIdKey(kControlProgId), "Insertable"));

    writeServerClass(reg, kClsidPropPage, kPropPageProgId, kPropPageDescription, modulePath);
}

int removeTypeLibrary(RegistryFile& reg) {
    return reg.removeTree(typeLibKey(kLibId)) + reg.removeTree(interfaceKey(kDiidDispatch)) +
           reg.removeTree(interfaceKey(kDiidEvents));
}

int removeClasses(RegistryFile& reg) {
    return reg.removeTree(classKey(kClsidControl)) + reg.removeTree(progIdKey(kControlProgId)) +
           reg.removeTree(classKey(kClsidPropPage)) + reg.removeTree(progIdKey(kPropPageProgId));
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
    return kClassesRoot + std::string("CLSID\\") + guidText(clsid);
}
std::string progIdKey(const std::string& progId) {
    return kClassesRoot + progId;
}
std::string typeLibKey(const Guid& libId) {
    return kClassesRoot + std::string("TypeLib\\") + guidText(libId);
}
std::string interfaceKey(const Guid& iid) {
    return kClassesRoot + std::string("Interface\\") + guidText(iid);
}

HResult registerServer(const std::string& registryPath, const std::string& modulePath) {
    if (!step(registryPath, [&](RegistryFile& reg) {
            writeTypeLibrary(reg, modulePath);
            return true;
        }))
        return kSelfRegTypeLib;
    if (!step(registryPath, [&](RegistryFile& reg) {
            writeClasses(reg, modulePath);
            return true;
        }))
        return kSelfRegClass;
    return kOk;
}

HResult unregisterServer(const std::string& registryPath) {
    if (!step(registryPath, [](RegistryFile& reg) { return removeTypeLibrary(reg) > 0; }))
        return kSelfRegTypeLib;
    if (!step(registryPath, [](RegistryFile& reg) { return removeClasses(reg) > 0; }))
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
