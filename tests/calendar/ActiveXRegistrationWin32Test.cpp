#include <olectl.h>

#include "ActiveXModuleWin32.h"
#include "calendar/com/VornCalendarTypeLib.h"

namespace quirn::activex {
namespace {

using vorncal::kClsidControl;
using vorncal::kClsidPropPage;

std::wstring registryText(const wchar_t* key, const wchar_t* name) {
    wchar_t value[MAX_PATH] = {};
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_CLASSES_ROOT, key, name, RRF_RT_REG_SZ, nullptr, value, &size) !=
        ERROR_SUCCESS)
        return L"";
    return value;
}

// A key that lives only in memory: the registry refuses lasting keys below it, so a
// registration step that must write there fails.
class VolatileKey {
  public:
    explicit VolatileKey(const wchar_t* path) : path_(path) {
        HKEY key = nullptr;
        created_ = RegCreateKeyExW(HKEY_CLASSES_ROOT, path, 0, nullptr, REG_OPTION_VOLATILE,
                                   KEY_WRITE, nullptr, &key, nullptr) == ERROR_SUCCESS;
        if (created_) RegCloseKey(key);
    }
    ~VolatileKey() {
        if (created_) RegDeleteTreeW(HKEY_CLASSES_ROOT, path_);
    }
    bool created() const { return created_; }

  private:
    const wchar_t* path_;
    bool created_ = false;
};

using Registration = ActiveXModuleTest;

TEST_F(Registration, AStepThatCannotWriteReportsItsOwnCode) {
    ASSERT_EQ(unregisterServer(), S_OK);
    {
        VolatileKey blocked(L"TypeLib\\{69151BFD-36E5-469B-8961-731EC8E66F52}");
        ASSERT_TRUE(blocked.created());
        EXPECT_EQ(registerServer(), SELFREG_E_TYPELIB);
    }
    ASSERT_EQ(unregisterServer(), S_OK);
    {
        VolatileKey blocked(L"CLSID\\{6814BF2C-B1DC-490D-80CF-AF25DB94DB4B}");
        ASSERT_TRUE(blocked.created());
        EXPECT_EQ(registerServer(), SELFREG_E_CLASS);
    }
    ASSERT_EQ(unregisterServer(), S_OK);
    EXPECT_EQ(registerServer(), S_OK);
}

TEST_F(Registration, ProgIdsNameTheClassesAndUnregisteringRemovesThem) {
    CLSID control, page;
    ASSERT_EQ(CLSIDFromProgID(L"VORNCALENDARIII.VornCalendarIIICtrl.1", &control), S_OK);
    EXPECT_TRUE(IsEqualCLSID(control, toGuid(&kClsidControl)));
    ASSERT_EQ(CLSIDFromProgID(L"VORNCALENDARIII.VornCalendarIIIPropPage.1", &page), S_OK);
    EXPECT_TRUE(IsEqualCLSID(page, toGuid(&kClsidPropPage)));
    const std::wstring classKey = L"CLSID\\{6814BF2C-B1DC-490D-80CF-AF25DB94DB4B}";
    EXPECT_EQ(registryText((classKey + L"\\InprocServer32").c_str(), L"ThreadingModel"),
              L"Apartment");
    EXPECT_EQ(registryText((classKey + L"\\MiscStatus\\1").c_str(), nullptr), L"131473");
    wchar_t modulePath[MAX_PATH];
    GetModuleFileNameW(module_, modulePath, MAX_PATH);
    EXPECT_EQ(registryText((classKey + L"\\InprocServer32").c_str(), nullptr), modulePath);
    // The type library registered from the module's own resource.
    ITypeLib* lib = nullptr;
    ASSERT_EQ(LoadRegTypeLib(toGuid(&vorncal::kLibId), 1, 0, LOCALE_NEUTRAL, &lib), S_OK);
    BSTR name = nullptr;
    ASSERT_EQ(lib->GetDocumentation(-1, &name, nullptr, nullptr, nullptr), S_OK);
    EXPECT_STREQ(name, L"VORNCALENDARIIILib");
    SysFreeString(name);
    lib->Release();

    ASSERT_EQ(unregisterServer(), S_OK);
    EXPECT_NE(CLSIDFromProgID(L"VORNCALENDARIII.VornCalendarIIICtrl.1", &control), S_OK);
    EXPECT_EQ(registryText((classKey + L"\\InprocServer32").c_str(), nullptr), L"");
    EXPECT_NE(LoadRegTypeLib(toGuid(&vorncal::kLibId), 1, 0, LOCALE_NEUTRAL, &lib), S_OK);
    // Unregistering what is gone is no failure; registering again restores it.
    EXPECT_EQ(unregisterServer(), S_OK);
    ASSERT_EQ(registerServer(), S_OK);
    EXPECT_EQ(CLSIDFromProgID(L"VORNCALENDARIII.VornCalendarIIICtrl.1", &control), S_OK);
}

TEST_F(Registration, ModuleStaysWhileAnObjectOrALockLives) {
    EXPECT_EQ(canUnloadNow(), S_OK);
    IClassFactory* factory = nullptr;
    ASSERT_EQ(
        classObject(toGuid(&kClsidControl), IID_IClassFactory, reinterpret_cast<void**>(&factory)),
        S_OK);
    EXPECT_EQ(canUnloadNow(), S_FALSE);
    IUnknown* control = nullptr;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&control)),
              S_OK);
    IUnknown* outer = control;
    IUnknown* aggregated = nullptr;
    EXPECT_EQ(factory->CreateInstance(outer, IID_IUnknown, reinterpret_cast<void**>(&aggregated)),
              CLASS_E_NOAGGREGATION);
    factory->LockServer(TRUE);
    factory->Release();
    control->Release();
    EXPECT_EQ(canUnloadNow(), S_FALSE);  // the lock
    ASSERT_EQ(
        classObject(toGuid(&kClsidControl), IID_IClassFactory, reinterpret_cast<void**>(&factory)),
        S_OK);
    factory->LockServer(FALSE);
    factory->Release();
    EXPECT_EQ(canUnloadNow(), S_OK);

    IUnknown* none = nullptr;
    EXPECT_EQ(
        classObject(toGuid(&vorncal::kLibId), IID_IClassFactory, reinterpret_cast<void**>(&none)),
        CLASS_E_CLASSNOTAVAILABLE);
}

}  // namespace
}  // namespace quirn::activex
