// profile.csv from any text, fed to the settings as bytes (no file is read). Whatever it holds,
// the master group read is one of 1..10, and what the settings then save keeps: loaded again it
// gives the same settings, and saved again the same text byte for byte.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <tuple>

#include "plans/PlanTypes.h"
#include "plans/Settings.h"

namespace {

auto valuesOf(const quirn::Settings& s) {
    return std::tie(s.editorLocation, s.radioPort, s.textMode, s.readOnlyMode, s.validateOnPowerup,
                    s.classicMode, s.validateMF, s.masterGroup, s.server, s.sender,
                    s.hasMasterGroups, s.cityName, s.sendTime3AM, s.enableM2M);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    quirn::Settings loaded;
    loaded.loadText(text);
    if (loaded.masterGroup < quirn::kMinMasterGroup || loaded.masterGroup > quirn::kMaxMasterGroup)
        std::abort();
    const std::string saved = loaded.fileText();
    quirn::Settings again;
    again.loadText(saved);
    if (valuesOf(again) != valuesOf(loaded)) std::abort();
    if (again.fileText() != saved) std::abort();
    return 0;
}
