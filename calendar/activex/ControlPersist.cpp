// IPersistStreamInit, IPersistPropertyBag and ISpecifyPropertyPages. The control keeps no
// properties: what it persists is its version (1.0), and it loads only data of that version.
#include "calendar/activex/CalendarControl.h"
#include "calendar/activex/WinGuid.h"
#include "calendar/com/VornCalendarTypeLib.h"

namespace quirn::activex {

namespace {
constexpr const wchar_t* kVersionProperty = L"_Version";
constexpr DWORD kVersion = vorncal::kControlVersion;
}  // namespace

HRESULT CalendarControl::GetClassID(CLSID* out) {
    if (!out) return E_POINTER;
    *out = toGuid(vorncal::kClsidControl);
    return S_OK;
}

HRESULT CalendarControl::IsDirty() {
    return S_FALSE;  // nothing changes what Save writes
}

HRESULT CalendarControl::Load(LPSTREAM stream) {
    if (!stream) return E_POINTER;
    DWORD version = 0;
    ULONG read = 0;
    const HRESULT hr = stream->Read(&version, sizeof version, &read);
    if (FAILED(hr)) return hr;
    if (read != sizeof version || version != kVersion) return E_FAIL;
    return S_OK;
}

HRESULT CalendarControl::Save(LPSTREAM stream, BOOL) {
    if (!stream) return E_POINTER;
    const DWORD version = kVersion;
    ULONG written = 0;
    const HRESULT hr = stream->Write(&version, sizeof version, &written);
    if (FAILED(hr)) return hr;
    return written == sizeof version ? S_OK : STG_E_CANTSAVE;
}

HRESULT CalendarControl::GetSizeMax(ULARGE_INTEGER* size) {
    if (!size) return E_POINTER;
    size->QuadPart = sizeof kVersion;
    return S_OK;
}

HRESULT CalendarControl::InitNew() {
    return S_OK;
}

HRESULT CalendarControl::Load(IPropertyBag* bag, IErrorLog* log) {
    if (!bag) return E_POINTER;
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_I4;
    // A bag without the version (a new container's) loads as this version.
    if (FAILED(bag->Read(kVersionProperty, &value, log))) return S_OK;
    HRESULT hr = VariantChangeType(&value, &value, 0, VT_I4);
    if (SUCCEEDED(hr) && static_cast<DWORD>(value.lVal) != kVersion) hr = E_FAIL;
    VariantClear(&value);
    return hr;
}

HRESULT CalendarControl::Save(IPropertyBag* bag, BOOL, BOOL) {
    if (!bag) return E_POINTER;
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_I4;
    value.lVal = static_cast<LONG>(kVersion);
    return bag->Write(kVersionProperty, &value);
}

HRESULT CalendarControl::GetPages(CAUUID* pages) {
    if (!pages) return E_POINTER;
    pages->cElems = 0;
    pages->pElems = static_cast<GUID*>(CoTaskMemAlloc(sizeof(GUID)));
    if (!pages->pElems) return E_OUTOFMEMORY;
    pages->pElems[0] = toGuid(vorncal::kClsidPropPage);
    pages->cElems = 1;
    return S_OK;
}

}  // namespace quirn::activex
