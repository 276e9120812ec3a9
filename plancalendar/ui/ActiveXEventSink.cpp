#include "plancalendar/ui/ActiveXEventSink.h"

#include <cstring>
#include <vector>

#include "calendar/com/VornCalendarTypeLib.h"

namespace quirn::plancalendar {

namespace {

// The event interface's id as the system spells it.
bool isEventsInterface(REFIID iid) {
    static_assert(sizeof(GUID) == sizeof(com::Guid));
    return std::memcmp(&iid, &vorncal::kDiidEvents, sizeof(GUID)) == 0;
}

}  // namespace

HRESULT ActiveXEventSink::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || isEventsInterface(iid)) {
        *out = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

HRESULT ActiveXEventSink::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT ActiveXEventSink::GetTypeInfo(UINT, LCID, ITypeInfo** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}

HRESULT ActiveXEventSink::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    return E_NOTIMPL;
}

HRESULT ActiveXEventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                                 EXCEPINFO*, UINT*) {
    if (!params) return E_POINTER;
    // Dispatch arguments travel last first.
    std::vector<short> args(params->cArgs);
    for (UINT i = 0; i < params->cArgs; ++i) {
        VARIANT value;
        VariantInit(&value);
        if (SUCCEEDED(VariantChangeType(&value, &params->rgvarg[params->cArgs - 1 - i], 0, VT_I2)))
            args[i] = value.iVal;
    }
    handler_(id, args.data(), params->cArgs);
    return S_OK;
}

}  // namespace quirn::plancalendar
