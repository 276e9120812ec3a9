#include "calendar/activex/EventConnectionPoint.h"

#include <olectl.h>

#include "calendar/activex/WinGuid.h"
#include "calendar/com/VornCalendarTypeLib.h"

namespace quirn::activex {

namespace {
constexpr size_t kMostArguments = 8;
}  // namespace

EventConnectionPoint::~EventConnectionPoint() {
    releaseSinks();
}

HRESULT EventConnectionPoint::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IConnectionPoint)) {
        *out = static_cast<IConnectionPoint*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

HRESULT EventConnectionPoint::GetConnectionInterface(IID* out) {
    if (!out) return E_POINTER;
    *out = toGuid(vorncal::kDiidEvents);
    return S_OK;
}

HRESULT EventConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** out) {
    if (!out) return E_POINTER;
    *out = &owner_;
    owner_.AddRef();
    return S_OK;
}

HRESULT EventConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
    if (!sink || !cookie) return E_POINTER;
    *cookie = 0;
    IDispatch* dispatch = nullptr;
    const IID events = toGuid(vorncal::kDiidEvents);
    if (FAILED(sink->QueryInterface(events, reinterpret_cast<void**>(&dispatch))) &&
        FAILED(sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch))))
        return CONNECT_E_CANNOTCONNECT;
    *cookie = nextCookie_++;
    sinks_.emplace_back(*cookie, dispatch);
    return S_OK;
}

HRESULT EventConnectionPoint::Unadvise(DWORD cookie) {
    for (auto it = sinks_.begin(); it != sinks_.end(); ++it) {
        if (it->first != cookie) continue;
        IDispatch* sink = it->second;
        sinks_.erase(it);
        sink->Release();
        return S_OK;
    }
    return CONNECT_E_NOCONNECTION;
}

HRESULT EventConnectionPoint::EnumConnections(IEnumConnections** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}

void EventConnectionPoint::fire(DISPID id, std::span<const std::int16_t> args) {
    if (args.size() > kMostArguments) return;
    // Dispatch arguments travel last first.
    VARIANTARG values[kMostArguments];
    for (size_t i = 0; i < args.size(); ++i) {
        VARIANTARG& v = values[args.size() - 1 - i];
        VariantInit(&v);
        v.vt = VT_I2;
        v.iVal = args[i];
    }
    DISPPARAMS params{values, nullptr, static_cast<UINT>(args.size()), 0};
    // A sink may unadvise from inside its handler: call a copy, each holding a reference.
    const std::vector<std::pair<DWORD, IDispatch*>> sinks = sinks_;
    for (const auto& entry : sinks) entry.second->AddRef();
    for (const auto& entry : sinks) {
        entry.second->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr,
                             nullptr, nullptr);
        entry.second->Release();
    }
}

void EventConnectionPoint::releaseSinks() {
    std::vector<std::pair<DWORD, IDispatch*>> sinks;
    sinks.swap(sinks_);
    for (const auto& entry : sinks) entry.second->Release();
}

}  // namespace quirn::activex
