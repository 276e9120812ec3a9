#include "calendar/view/win32/DispatchCalls.h"

#include <vector>

namespace quirn::vorncal {

HRESULT callByName(IDispatch& target, const wchar_t* name,
                   std::initializer_list<std::int16_t> args) {
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    HRESULT hr = target.GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) return hr;
    // Dispatch arguments travel last first.
    std::vector<VARIANTARG> values(args.size());
    size_t i = args.size();
    for (std::int16_t a : args) {
        VARIANTARG& v = values[--i];
        VariantInit(&v);
        v.vt = VT_I2;
        v.iVal = a;
    }
    DISPPARAMS params{values.data(), nullptr, static_cast<UINT>(values.size()), 0};
    return target.Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr,
                         nullptr, nullptr);
}

}  // namespace quirn::vorncal
