#include "plans/PlanCheck.h"

#include "plans/PlanChecker.h"
#include "plans/PlanRecordLayouts.h"
#include "platform/FileSystem.h"
#include "platform/TextLines.h"

namespace quirn {

namespace {

// Where each file's text stands in DatabaseTexts.
std::optional<std::string> DatabaseTexts::*textOf(DatabaseFileKind kind) {
    switch (kind) {
        case DatabaseFileKind::DayPlans:
            return &DatabaseTexts::dayPlans;
        case DatabaseFileKind::Steps:
            return &DatabaseTexts::steps;
        case DatabaseFileKind::Groups:
            return &DatabaseTexts::groups;
        case DatabaseFileKind::Locations:
            break;
    }
    return &DatabaseTexts::locations;
}

}  // namespace

std::vector<PlanFinding> checkDatabaseTexts(const DatabaseTexts& texts) {
    PlanChecker checker;
    for (const DatabaseFileLayout& file : databaseFileLayouts()) {
        const std::optional<std::string>& text = texts.*textOf(file.kind);
        if (text)
            checker.checkFile(file, *text);
        else
            checker.missingFile(file);
    }
    return checker.finish();
}

std::optional<std::vector<PlanFinding>> checkWorkingFolder(const WorkingFolder& folder) {
    DatabaseTexts texts;
    for (const DatabaseFileLayout& file : databaseFileLayouts()) {
        const std::string path = folder.file(file.name);
        // Whatever stands under the name must be read: a folder there is no missing file.
        if (!fileExists(path) && !folderExists(path)) continue;
        std::optional<std::string> text = readWholeFile(path);
        if (!text) return std::nullopt;
        texts.*textOf(file.kind) = std::move(text);
    }
    return checkDatabaseTexts(texts);
}

std::string findingsText(const std::vector<PlanFinding>& findings) {
    CrLfWriter out;
    for (const PlanFinding& f : findings) out.text(findingLine(f)).endLine();
    return out.take();
}

}  // namespace quirn
