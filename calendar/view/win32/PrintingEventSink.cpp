#include "calendar/view/win32/PrintingEventSink.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "calendar/com/VornCalendarTypeLib.h"
#include "calendar/view/EventPrinter.h"

namespace quirn::vorncal {

namespace {

bool isEventsInterface(REFIID iid) {
    static_assert(sizeof(GUID) == sizeof(com::Guid));
    return std::memcmp(&iid, &kDiidEvents, sizeof(GUID)) == 0;
}

}  // namespace

HRESULT PrintingEventSink::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || isEventsInterface(iid)) {
        *out = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

HRESULT PrintingEventSink::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT PrintingEventSink::GetTypeInfo(UINT, LCID, ITypeInfo** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}

HRESULT PrintingEventSink::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    return E_NOTIMPL;
}

HRESULT PrintingEventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                                  EXCEPINFO*, UINT*) {
    if (!params) return E_POINTER;
    // Back into the order the event lists its arguments, each as a 16-bit integer.
    std::vector<std::int16_t> args(params->cArgs);
    for (UINT i = 0; i < params->cArgs; ++i) {
        VARIANT value;
        VariantInit(&value);
        if (SUCCEEDED(VariantChangeType(&value, &params->rgvarg[params->cArgs - 1 - i], 0, VT_I2)))
            args[i] = value.iVal;
    }
    std::fprintf(out_, "%s\n",
                 eventLine(id, {args.data(), static_cast<std::uint32_t>(args.size())}).c_str());
    std::fflush(out_);
    return S_OK;
}

}  // namespace quirn::vorncal
