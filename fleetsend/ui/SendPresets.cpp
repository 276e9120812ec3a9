#include "fleetsend/ui/SendPresets.h"

namespace quirn {

SendSelection sendPresetOfPick(int masterGroup, int group, int location) {
    if (masterGroup == 0) return SendSelection::all();
    if (group == 0) return SendSelection::ofMasterGroup(masterGroup);
    if (location == 0) return SendSelection::ofGroups({{masterGroup, group, 0}});
    return SendSelection::ofLocations({{masterGroup, group, location}});
}

}  // namespace quirn
