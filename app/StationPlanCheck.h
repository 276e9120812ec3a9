#pragma once
#include <string>
#include <vector>

#include "ops/LogWriter.h"
#include "plans/DatabaseFiles.h"
#include "plans/PlanFinding.h"
#include "platform/Clock.h"
#include "platform/WorkingFolder.h"

namespace quirn {

// The file in the log folder that lists the findings of the start-up plan check.
std::string planCheckReportPath(const WorkingFolder& folder);

// Checks the database texts the station has just loaded, lists the findings in the report
// file (a report left by an earlier start goes when there are none) and says in one System
// log line how many there are and where to read them.
std::vector<PlanFinding> reportPlanCheck(const DatabaseTexts& texts, const WorkingFolder& folder,
                                         const LogWriter& log, const Clock& clock);

}  // namespace quirn
