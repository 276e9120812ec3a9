#pragma once
#include <gtest/gtest.h>
#include <ocidl.h>
#include <windows.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace quirn::activex {

// The built vorncal.dll loaded by this test program and registered in the Wine prefix (or the
// Windows computer) the tests run in, for the length of one test; unregistered afterwards.
class ActiveXModuleTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    HRESULT registerServer() const;
    HRESULT unregisterServer() const;
    HRESULT canUnloadNow() const;
    HRESULT classObject(REFCLSID clsid, REFIID iid, void** out) const;
    // A new control through the registry, by its ProgID, as IDispatch.
    IDispatch* createByProgId() const;
    DISPID idOf(IDispatch& control, const wchar_t* name) const;
    HRESULT call(IDispatch& control, const wchar_t* name, std::vector<std::int16_t> args) const;

    HMODULE module_ = nullptr;
};

// One event as a sink received it: its id and its arguments in the order the event lists them.
struct ReceivedEvent {
    DISPID id = 0;
    std::vector<std::int16_t> args;
    friend bool operator==(const ReceivedEvent&, const ReceivedEvent&) = default;
    friend std::ostream& operator<<(std::ostream& out, const ReceivedEvent& e) {
        out << "event " << e.id << " (";
        for (std::int16_t a : e.args) out << " " << a;
        return out << " )";
    }
};

// An event sink that keeps what it receives.
class RecordingSink final : public IDispatch {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++refs); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--refs); }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** out) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                                     EXCEPINFO*, UINT*) override;

    std::vector<ReceivedEvent> events;
    long refs = 0;
};

GUID toGuid(const void* ourGuid);

}  // namespace quirn::activex
