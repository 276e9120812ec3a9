#pragma once
#include "plancalendar/DayEdit.h"
#include "planedit/EditOutcome.h"
#include "planedit/GroupKey.h"

namespace quirn {
class PlanEditor;
}

namespace quirn::plancalendar {

// Makes the edit through the plan editor, so it is checked and becomes one step of its undo
// history; a refusal changes nothing and says why.
EditOutcome applyDayEdit(PlanEditor& editor, GroupKey group, const DayEdit& edit);

}  // namespace quirn::plancalendar
