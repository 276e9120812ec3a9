#include "ActiveXModuleWin32.h"

#include <cstring>

#include "calendar/com/VornCalendarTypeLib.h"

namespace quirn::activex {

namespace {
using EntryPoint = HRESULT(WINAPI*)();
using GetClassObject = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);

template <typename F>
F entry(HMODULE module, const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}
}  // namespace

GUID toGuid(const void* ourGuid) {
    GUID g;
    std::memcpy(&g, ourGuid, sizeof g);
    return g;
}

void ActiveXModuleTest::SetUp() {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    module_ = LoadLibraryA(VORNCAL_DLL_PATH);
    ASSERT_NE(module_, nullptr) << VORNCAL_DLL_PATH;
    ASSERT_EQ(registerServer(), S_OK);
}

void ActiveXModuleTest::TearDown() {
    if (module_) {
        EXPECT_EQ(unregisterServer(), S_OK);
        FreeLibrary(module_);
    }
    OleUninitialize();
}

HRESULT ActiveXModuleTest::registerServer() const {
    auto f = entry<EntryPoint>(module_, "DllRegisterServer");
    return f ? f() : E_NOINTERFACE;
}

HRESULT ActiveXModuleTest::unregisterServer() const {
    auto f = entry<EntryPoint>(module_, "DllUnregisterServer");
    return f ? f() : E_NOINTERFACE;
}

HRESULT ActiveXModuleTest::canUnloadNow() const {
    auto f = entry<EntryPoint>(module_, "DllCanUnloadNow");
    return f ? f() : E_NOINTERFACE;
}

HRESULT ActiveXModuleTest::classObject(REFCLSID clsid, REFIID iid, void** out) const {
    auto f = entry<GetClassObject>(module_, "DllGetClassObject");
    return f ? f(clsid, iid, out) : E_NOINTERFACE;
}

IDispatch* ActiveXModuleTest::createByProgId() const {
    CLSID clsid;
    if (FAILED(CLSIDFromProgID(L"VORNCALENDARIII.VornCalendarIIICtrl.1", &clsid))) return nullptr;
    IDispatch* control = nullptr;
    CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                     reinterpret_cast<void**>(&control));
    return control;
}

DISPID ActiveXModuleTest::idOf(IDispatch& control, const wchar_t* name) const {
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    control.GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    return id;
}

HRESULT ActiveXModuleTest::call(IDispatch& control, const wchar_t* name,
                                std::vector<std::int16_t> args) const {
    std::vector<VARIANTARG> values(args.size());
    for (size_t i = 0; i < args.size(); ++i) {
        VARIANTARG& v = values[args.size() - 1 - i];
        VariantInit(&v);
        v.vt = VT_I2;
        v.iVal = args[i];
    }
    DISPPARAMS params{values.data(), nullptr, static_cast<UINT>(values.size()), 0};
    return control.Invoke(idOf(control, name), IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                          &params, nullptr, nullptr, nullptr);
}

HRESULT RecordingSink::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
        *out = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

HRESULT RecordingSink::GetTypeInfoCount(UINT* count) {
    *count = 0;
    return S_OK;
}

HRESULT RecordingSink::GetTypeInfo(UINT, LCID, ITypeInfo** out) {
    *out = nullptr;
    return E_NOTIMPL;
}

HRESULT RecordingSink::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    return E_NOTIMPL;
}

HRESULT RecordingSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                              EXCEPINFO*, UINT*) {
    ReceivedEvent event{id, {}};
    for (UINT i = params->cArgs; i > 0; --i) {
        const VARIANTARG& v = params->rgvarg[i - 1];
        event.args.push_back(v.vt == VT_I2 ? v.iVal : static_cast<std::int16_t>(-32768));
    }
    events.push_back(event);
    return S_OK;
}

}  // namespace quirn::activex
