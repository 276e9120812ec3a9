// The calendar's registry file: whatever the file holds, the keys read from it survive a save,
// and saving what a saved file reads gives the same file again (load, save, load is a fixed
// point).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "calendar/com/RegistryFile.h"

namespace {

std::string scratchFile(const char* name) {
    static const std::filesystem::path folder = [] {
        auto path = std::filesystem::temp_directory_path() /
                    ("quirn-fuzz-registry-" + std::to_string(std::random_device{}()));
        std::filesystem::create_directories(path);
        return path;
    }();
    return (folder / name).string();
}

std::string contentOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = scratchFile("vorncal-registry.ini");
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    quirn::com::RegistryFile read(path);
    if (!read.load()) return 0;
    if (!read.save()) std::abort();
    const std::string saved = contentOf(path);
    quirn::com::RegistryFile again(path);
    if (!again.load() || again.keys() != read.keys()) std::abort();
    if (!again.save() || contentOf(path) != saved) std::abort();
    return 0;
}
