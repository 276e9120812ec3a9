#include "app/StationPlanCheck.h"

#include "plans/PlanCheck.h"
#include "platform/AtomicFile.h"
#include "platform/FileSystem.h"

namespace quirn {

std::string planCheckReportPath(const WorkingFolder& folder) {
    return folder.logs() + "Plan_Check.txt";
}

std::vector<PlanFinding> reportPlanCheck(const DatabaseTexts& texts, const WorkingFolder& folder,
                                         const LogWriter& log, const Clock& clock) {
    std::vector<PlanFinding> findings = checkDatabaseTexts(texts);
    const std::string report = planCheckReportPath(folder);
    if (findings.empty()) {
        if (fileExists(report)) removeFile(report);
        log.logSystem(clock, "Plan check: the database files have no findings.");
        return findings;
    }
    const bool written = replaceFileAtomically(report, findingsText(findings));
    const std::string count =
        std::to_string(findings.size()) + (findings.size() == 1 ? " finding" : " findings");
    log.logSystem(clock, "Plan check: " + count + " in the database files; " +
                             (written ? "see " + report : "run \"quirnctl db check\" to see them"));
    return findings;
}

}  // namespace quirn
