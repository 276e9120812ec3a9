#include "calendar/activex/ClassFactory.h"

#include <new>

#include "calendar/activex/CalendarControl.h"
#include "calendar/activex/PropertyPage.h"
#include "calendar/activex/WinGuid.h"
#include "calendar/com/VornCalendarTypeLib.h"

namespace quirn::activex {

namespace {

struct FactoryEntry {
    com::Guid clsid;
    ClassFactory::Creator creator;
};

constexpr FactoryEntry kFactories[] = {
    {vorncal::kClsidControl, &CalendarControl::create},
    {vorncal::kClsidPropPage, &PropertyPage::create},
};

}  // namespace

HRESULT ClassFactory::create(REFCLSID clsid, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    for (const FactoryEntry& entry : kFactories) {
        if (!sameGuid(clsid, entry.clsid)) continue;
        auto* factory = new (std::nothrow) ClassFactory(entry.creator);
        if (!factory) return E_OUTOFMEMORY;
        const HRESULT hr = factory->QueryInterface(iid, out);
        factory->Release();
        return hr;
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT ClassFactory::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
        *out = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

ULONG ClassFactory::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&refs_));
}

ULONG ClassFactory::Release() {
    const LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

HRESULT ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    return creator_(iid, out);
}

HRESULT ClassFactory::LockServer(BOOL lock) {
    serverModule().lock(lock != FALSE);
    return S_OK;
}

}  // namespace quirn::activex
