#include "calendar/control/ClassFactory.h"

#include "calendar/com/VornCalendarTypeLib.h"
#include "calendar/control/ControlObject.h"
#include "calendar/control/PropPageObject.h"

namespace quirn::vorncal {

using namespace quirn::com;

namespace {

HResult createPropPage(const Clock&, const Guid& iid, void** out) {
    return PropPageObject::create(iid, out);
}

struct FactoryEntry {
    Guid clsid;
    ClassFactory::Creator creator;
    bool readsClock;
};

constexpr FactoryEntry kFactories[] = {
    {vorncal::kClsidControl, &ControlObject::create, true},
    {vorncal::kClsidPropPage, &createPropPage, false},
};

}  // namespace

HResult ClassFactory::create(const Guid& clsid, const Guid& iid, void** out) {
    if (!out) return kPointerError;
    *out = nullptr;
    for (const FactoryEntry& entry : kFactories) {
        if (entry.clsid != clsid) continue;
        auto* factory = new ClassFactory(entry.creator, entry.readsClock);
        const HResult hr = factory->QueryInterface(iid, out);
        factory->Release();
        return hr;
    }
    return kClassNotAvailable;
}

HResult ClassFactory::QueryInterface(const Guid& iid, void** out) {
    if (!out) return kPointerError;
    if (iid == kIidUnknown || iid == kIidClassFactory)
        *out = static_cast<IClassFactory*>(this);
    else if (iid == kIidClockClassFactory && readsClock_)
        *out = static_cast<IClockClassFactory*>(this);
    else {
        *out = nullptr;
        return kNoInterface;
    }
    AddRef();
    return kOk;
}

std::uint32_t ClassFactory::Release() {
    const std::uint32_t left = --refs_;
    if (left == 0) delete this;
    return left;
}

HResult ClassFactory::CreateInstance(IUnknown* outer, const Guid& iid, void** out) {
    if (out) *out = nullptr;
    if (outer) return kNoAggregation;
    return creator_(systemClock(), iid, out);
}

HResult ClassFactory::LockServer(bool lock) {
    vorncal::lockServer(lock);
    return kOk;
}

HResult ClassFactory::CreateInstanceWithClock(const Clock* clock, const Guid& iid, void** out) {
    if (out) *out = nullptr;
    if (!clock) return kPointerError;
    return creator_(*clock, iid, out);
}

}  // namespace quirn::vorncal
