#pragma once
#include "platform/WorkingFolder.h"

namespace quirn::ctl {

// `db check`: prints each finding of the plan check of the folder's database files, one line
// each, or with `json` one JSON document. Exit 0 when there is none, 1 with findings, 2 when
// a file could not be read.
int runPlanCheck(const WorkingFolder& folder, bool json);

}  // namespace quirn::ctl
