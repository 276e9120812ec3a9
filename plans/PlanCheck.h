#pragma once
#include <optional>
#include <string>
#include <vector>

#include "plans/DatabaseFiles.h"
#include "plans/PlanFinding.h"
#include "platform/WorkingFolder.h"

namespace quirn {

// Checks the database files of a working folder as the station will read them, and lists
// every place where what the station reads differs from what the line plainly says, or where
// the programming cannot reach a time switch as written: numbers with a tail or out of their
// range, dates the reader rolls over, vacations that end before they start, names split by
// a comma, records given twice, day plans used but never defined, locations with an address
// no link serves, groups without locations. Nothing is changed: the station still reads the
// files as before. Findings come in file order (dayplan, steps, groups, locations), each
// file's lines in order, then the findings about groups as a whole.
std::vector<PlanFinding> checkDatabaseTexts(const DatabaseTexts& texts);

// The same for the files of a folder. A file that is missing is a finding (the station
// creates it empty); nothing when a file is there but cannot be read.
std::optional<std::vector<PlanFinding>> checkWorkingFolder(const WorkingFolder& folder);

// The findings as text, one line each.
std::string findingsText(const std::vector<PlanFinding>& findings);

}  // namespace quirn
