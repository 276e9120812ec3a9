// The plan database's CSV files from any text: the input split on NUL bytes is dayplan.csv,
// steps.csv, groups.csv and locations.csv of a working folder. Loading them never fails
// whatever they hold, and what the database then saves keeps: loaded into a fresh database and
// saved again it gives the same lines, and from then on the same texts byte for byte. Only the
// first save may order lines differently: a group comes into the database where the files
// first name it, and a line read but not saved (a plan with an impossible date, or one that
// ended) may have named it first. The plan check reads the same texts without failing, and
// every finding it makes names a line that the file has.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/support/StationInputs.h"
#include "plans/DatabaseFiles.h"
#include "plans/PlanCheck.h"
#include "plans/PlanDatabase.h"
#include "platform/TextLines.h"

namespace {

using quirn::fuzz::kNow;
constexpr std::size_t kFiles = 4;

using Texts = std::array<std::string, kFiles>;

std::vector<std::string_view> sortedLines(std::string_view text) {
    std::vector<std::string_view> lines = quirn::splitLines(text);
    std::sort(lines.begin(), lines.end());
    return lines;
}

// The bytes go to the loaders as they are: no file is written or read.
Texts loadedAndSaved(const Texts& files) {
    quirn::PlanDatabase db;
    quirn::DatabaseTexts texts;
    texts.dayPlans = files[0];
    texts.steps = files[1];
    texts.groups = files[2];
    texts.locations = files[3];
    quirn::loadDatabaseTexts(db, texts, kNow);
    return {quirn::dayPlanFileText(db, kNow), quirn::stepsFileText(db), quirn::groupsFileText(db),
            quirn::locationsFileText(db)};
}

// The line count of each file as the check numbers lines.
bool findingsNameLinesOfTheFiles(const Texts& files) {
    quirn::DatabaseTexts texts;
    texts.dayPlans = files[0];
    texts.steps = files[1];
    texts.groups = files[2];
    texts.locations = files[3];
    const char* names[kFiles] = {"dayplan.csv", "steps.csv", "groups.csv", "locations.csv"};
    for (const quirn::PlanFinding& f : quirn::checkDatabaseTexts(texts)) {
        const auto file = std::find(std::begin(names), std::end(names), f.file);
        if (file == std::end(names) || f.line < 0) return false;
        const std::size_t lines = quirn::splitLines(files[file - std::begin(names)]).size();
        if (static_cast<std::size_t>(f.line) > lines) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    Texts files;
    for (std::size_t i = 0, at = 0; i < kFiles && at <= input.size(); ++i) {
        std::size_t nul = input.find('\0', at);
        files[i] = input.substr(at, nul == std::string_view::npos ? nul : nul - at);
        at = nul == std::string_view::npos ? input.size() + 1 : nul + 1;
    }
    if (!findingsNameLinesOfTheFiles(files)) std::abort();
    const Texts saved = loadedAndSaved(files);
    const Texts again = loadedAndSaved(saved);
    for (std::size_t i = 0; i < kFiles; ++i)
        if (sortedLines(again[i]) != sortedLines(saved[i])) std::abort();
    if (loadedAndSaved(again) != again) std::abort();
    return 0;
}
