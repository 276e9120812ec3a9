#pragma once
#include "fleetsend/SendSelection.h"

namespace quirn {

// The send a tree's pick asks for: a location (all numbers), a group (location 0), a master
// group (group 0 too), or the whole fleet when nothing is picked (all 0).
SendSelection sendPresetOfPick(int masterGroup, int group, int location);

}  // namespace quirn
