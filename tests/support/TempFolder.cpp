#include "tests/support/TempFolder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace quirn::test {

TempFolder::TempFolder() {
    // A fresh folder under a random name; create_directory fails when the name is taken.
    std::random_device random;
    const auto base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::ostringstream name;
        name << "quirn-test-" << std::hex << random() << random();
        std::error_code ec;
        const auto folder = base / name.str();
        if (std::filesystem::create_directory(folder, ec)) {
            path_ = folder.generic_string() + "/";
            return;
        }
    }
    std::abort();
}

TempFolder::~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

bool writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    return static_cast<bool>(out);
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace quirn::test
