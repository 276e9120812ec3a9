// The plan database's CSV files from any text: the input split on NUL bytes is dayplan.csv,
// steps.csv, groups.csv and locations.csv of a working folder. Loading them never fails
// whatever they hold, and what the database then saves keeps: loaded into a fresh database and
// saved again it gives the same lines, and from then on the same texts byte for byte. Only the
// first save may order lines differently: a group comes into the database where the files
// first name it, and a line read but not saved (a plan with an impossible date, or one that
// ended) may have named it first.
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "plans/DatabaseFiles.h"
#include "plans/PlanDatabase.h"
#include "platform/Paths.h"
#include "platform/TextLines.h"

namespace {

constexpr std::time_t kNow = 1'773'646'200;  // 2026-03-16, a Monday morning
constexpr std::size_t kFiles = 4;

// The working folder of the loads (the file names are paths inside it), removed when the
// program ends.
class ScratchFolder {
  public:
    ScratchFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "quirn-fuzz-XXXXXX");
        if (!mkdtemp(pattern.data())) std::abort();
        path_ = pattern;
        quirn::setWorkingFolderOverride(path_.string());
    }
    ~ScratchFolder() {
        quirn::setWorkingFolderOverride("");
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }

  private:
    std::filesystem::path path_;
};

using Texts = std::array<std::string, kFiles>;

std::array<std::string, kFiles> fileNames() {
    return {quirn::dayPlanFileName(), quirn::stepsFileName(), quirn::groupsFileName(),
            quirn::locationsFileName()};
}

void writeFiles(const Texts& texts) {
    const auto names = fileNames();
    for (std::size_t i = 0; i < kFiles; ++i) {
        std::ofstream out(names[i], std::ios::binary | std::ios::trunc);
        out << texts[i];
        if (!out) std::abort();
    }
    std::error_code ignored;
    std::filesystem::remove(quirn::snapshotFileName(), ignored);
}

std::vector<std::string_view> sortedLines(std::string_view text) {
    std::vector<std::string_view> lines = quirn::splitLines(text);
    std::sort(lines.begin(), lines.end());
    return lines;
}

Texts loadedAndSaved(const Texts& files) {
    writeFiles(files);
    quirn::PlanDatabase db;
    quirn::loadDatabase(db, kNow);
    return {quirn::dayPlanFileText(db, kNow), quirn::stepsFileText(db), quirn::groupsFileText(db),
            quirn::locationsFileText(db)};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const ScratchFolder folder;
    std::string_view input(reinterpret_cast<const char*>(data), size);
    Texts files;
    for (std::size_t i = 0, at = 0; i < kFiles && at <= input.size(); ++i) {
        std::size_t nul = input.find('\0', at);
        files[i] = input.substr(at, nul == std::string_view::npos ? nul : nul - at);
        at = nul == std::string_view::npos ? input.size() + 1 : nul + 1;
    }
    const Texts saved = loadedAndSaved(files);
    const Texts again = loadedAndSaved(saved);
    for (std::size_t i = 0; i < kFiles; ++i)
        if (sortedLines(again[i]) != sortedLines(saved[i])) std::abort();
    if (loadedAndSaved(again) != again) std::abort();
    return 0;
}
