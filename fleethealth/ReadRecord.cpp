#include "fleethealth/ReadRecord.h"

#include <array>
#include <utility>

namespace quirn {

namespace {
constexpr std::array<std::pair<ReadSource, const char*>, 5> kSourceTexts{{
    {ReadSource::Station, "Station"},
    {ReadSource::WiFi, "WiFi"},
    {ReadSource::M2M, "M2M"},
    {ReadSource::Radio, "Radio"},
    {ReadSource::Loader, "Loader"},
}};
}  // namespace

const char* readSourceText(ReadSource source) {
    for (const auto& [value, text] : kSourceTexts)
        if (value == source) return text;
    return kSourceTexts.front().second;
}

}  // namespace quirn
