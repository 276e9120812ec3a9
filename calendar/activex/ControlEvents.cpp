// IConnectionPointContainer: the control has one connection point, for
// _DVornCalendarIIIEvents.
#include "calendar/activex/CalendarControl.h"
#include "calendar/activex/WinGuid.h"
#include "calendar/com/VornCalendarTypeLib.h"

namespace quirn::activex {

HRESULT CalendarControl::EnumConnectionPoints(IEnumConnectionPoints** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}

HRESULT CalendarControl::FindConnectionPoint(REFIID iid, IConnectionPoint** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!sameGuid(iid, vorncal::kDiidEvents)) return CONNECT_E_NOCONNECTION;
    *out = &events_;
    events_.AddRef();
    return S_OK;
}

}  // namespace quirn::activex
