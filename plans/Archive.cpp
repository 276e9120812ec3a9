#include "plans/Archive.h"

#include <array>
#include <optional>
#include <string_view>
#include <utility>

#include "plans/DatabaseFiles.h"
#include "platform/AtomicFile.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/LocalTime.h"
#include "platform/Paths.h"
#include "platform/TextLines.h"

namespace quirn {

namespace {

constexpr const char* kFolderName = "Archive";
constexpr const char* kNameFormat = "Archived_%B_%d_%Y_%H_%M .txt";
constexpr const char* kTitleFormat = "Archived %B %d %Y";
constexpr const char* kWarning =
    "Do not modify this file as Quirn may not be able to read it afterwards.";

struct Section {
    const char* marker;
    std::string (*path)(const WorkingFolder&, const char*);
    std::optional<std::string> DatabaseTexts::*text;
};

// In the order the archive holds them.
std::array<Section, 4> sections() {
    return {{{"// dayplans", dayPlanFileName, &DatabaseTexts::dayPlans},
             {"// groups", groupsFileName, &DatabaseTexts::groups},
             {"// locations", locationsFileName, &DatabaseTexts::locations},
             {"// steps", stepsFileName, &DatabaseTexts::steps}}};
}

// The lines under each marker, blank lines left out (the archive sets its sections off with
// them; the readers skip them anyway). Nothing unless all four markers are there.
std::optional<DatabaseTexts> sectionTexts(const std::string& archive) {
    DatabaseTexts texts;
    std::optional<std::string> DatabaseTexts::*current = nullptr;
    LineReader reader(archive);
    std::string_view line;
    while (reader.next(line)) {
        bool marker = false;
        for (const Section& s : sections()) {
            if (line != s.marker) continue;
            current = s.text;
            texts.*current = std::string();
            marker = true;
        }
        if (marker || current == nullptr || line.empty()) continue;
        CrLfWriter out;
        out.text(line).endLine();
        *(texts.*current) += out.take();
    }
    for (const Section& s : sections())
        if (!(texts.*(s.text))) return std::nullopt;
    return texts;
}

// Only a regular file is read: a folder of that name would read as garbage.
std::optional<std::string> readDatabaseFile(const std::string& path) {
    if (!fileExists(path)) return std::nullopt;
    return readWholeFile(path);
}

}  // namespace

std::string archiveFolder(const WorkingFolder& folder) {
    return folder.file(std::string(kFolderName) + pathSeparator());
}

Archive::Archive(const Clock& clock, WorkingFolder folder)
    : clock_(clock), folder_(std::move(folder)) {}

std::string Archive::fileNameAt(std::time_t t) const {
    return archiveFolder(folder_) + formatLocal(kNameFormat, t);
}

std::string Archive::text() const {
    CrLfWriter out;
    out.text(formatLocal(kTitleFormat, clock_.now())).endLine().endLine();
    out.text(kWarning).endLine().endLine();
    bool first = true;
    for (const Section& s : sections()) {
        // Every marker after the first is set off from the lines before it by a blank line.
        if (!first) out.endLine().endLine();
        first = false;
        out.text(s.marker).endLine().endLine();
        if (std::optional<std::string> file = readDatabaseFile(s.path(folder_, "csv"))) {
            LineReader reader(*file);
            std::string_view line;
            while (reader.next(line)) out.text(line).endLine();
        }
    }
    return out.take();
}

bool Archive::make() const {
    // The folder is made at start-up; make it here too so a removed folder costs no archive.
    makeFolder(archiveFolder(folder_));
    return replaceFileAtomically(fileNameAt(clock_.now()), text());
}

bool Archive::changedToday() const {
    const std::time_t now = clock_.now();
    for (const Section& s : sections()) {
        std::optional<std::time_t> written = fileModifiedTime(s.path(folder_, "csv"));
        if (written && now - *written < kChangedWithinSeconds) return true;
    }
    return false;
}

Archive::Outcome Archive::makeIfChanged() const {
    if (!changedToday()) return Outcome::Unchanged;
    return make() ? Outcome::Made : Outcome::Failed;
}

std::optional<DatabaseTexts> Archive::restore(const std::string& path) const {
    std::optional<std::string> archive = readDatabaseFile(path);
    if (!archive) return std::nullopt;
    std::optional<DatabaseTexts> texts = sectionTexts(*archive);
    if (!texts) return std::nullopt;
    for (const Section& s : sections())
        if (!replaceFileAtomically(s.path(folder_, "csv"), *((*texts).*(s.text))))
            return std::nullopt;
    return texts;
}

}  // namespace quirn
