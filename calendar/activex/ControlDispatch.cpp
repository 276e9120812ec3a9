// _DVornCalendarIII through the module's type library: names, dispatch ids, argument counts and
// types come from it. The methods are called here rather than by ITypeInfo::Invoke, which for a
// pure dispinterface calls back into this very Invoke.
#include <vector>

#include "calendar/activex/CalendarControl.h"
#include "calendar/activex/TypeLibrary.h"
#include "calendar/activex/WinGuid.h"
#include "calendar/com/VornCalendarTypeLib.h"

namespace quirn::activex {

namespace {

// The dispatch interface's description of one member, released with this object.
class FunctionOf {
  public:
    FunctionOf(ITypeInfo* info, DISPID id) : info_(info) {
        ITypeInfo2* info2 = nullptr;
        if (FAILED(info->QueryInterface(IID_ITypeInfo2, reinterpret_cast<void**>(&info2)))) return;
        UINT index = 0;
        if (SUCCEEDED(info2->GetFuncIndexOfMemId(id, INVOKE_FUNC, &index)))
            info->GetFuncDesc(index, &desc_);
        info2->Release();
    }
    ~FunctionOf() {
        if (desc_) info_->ReleaseFuncDesc(desc_);
    }
    FunctionOf(const FunctionOf&) = delete;
    FunctionOf& operator=(const FunctionOf&) = delete;
    const FUNCDESC* get() const { return desc_; }

  private:
    ITypeInfo* info_;
    FUNCDESC* desc_ = nullptr;
};

}  // namespace

HRESULT CalendarControl::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
}

HRESULT CalendarControl::GetTypeInfo(UINT index, LCID, ITypeInfo** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    return typeInfoOf(vorncal::kDiidDispatch, out);
}

HRESULT CalendarControl::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    ITypeInfo* info = nullptr;
    HRESULT hr = typeInfoOf(vorncal::kDiidDispatch, &info);
    if (FAILED(hr)) return hr;
    hr = DispGetIDsOfNames(info, names, count, ids);
    info->Release();
    return hr;
}

HRESULT CalendarControl::Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params,
                                VARIANT* result, EXCEPINFO*, UINT* argError) {
    if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    if (!params) return E_POINTER;
    if (!(flags & DISPATCH_METHOD)) return DISP_E_MEMBERNOTFOUND;
    if (params->cNamedArgs != 0) return DISP_E_NONAMEDARGS;
    if (result) VariantInit(result);
    ITypeInfo* info = nullptr;
    HRESULT hr = typeInfoOf(vorncal::kDiidDispatch, &info);
    if (FAILED(hr)) return hr;
    std::vector<std::int16_t> args;
    {
        FunctionOf function(info, id);
        const FUNCDESC* desc = function.get();
        if (!desc)
            hr = DISP_E_MEMBERNOTFOUND;
        else if (params->cArgs != static_cast<UINT>(desc->cParams))
            hr = DISP_E_BADPARAMCOUNT;
        for (UINT i = 0; SUCCEEDED(hr) && i < params->cArgs; ++i) {
            if (desc->lprgelemdescParam[i].tdesc.vt != VT_I2) {
                hr = DISP_E_TYPEMISMATCH;
                break;
            }
            VARIANT value;
            VariantInit(&value);
            hr = DispGetParam(params, i, VT_I2, &value, argError);
            if (SUCCEEDED(hr)) args.push_back(value.iVal);
        }
    }
    info->Release();
    if (FAILED(hr)) return hr;
    return callMethod(id, args);
}

HRESULT CalendarControl::GetClassInfo(ITypeInfo** out) {
    return typeInfoOf(vorncal::kClsidControl, out);
}

HRESULT CalendarControl::GetGUID(DWORD kind, GUID* out) {
    if (!out) return E_POINTER;
    if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) {
        *out = GUID_NULL;
        return E_INVALIDARG;
    }
    *out = toGuid(vorncal::kDiidEvents);
    return S_OK;
}

}  // namespace quirn::activex
