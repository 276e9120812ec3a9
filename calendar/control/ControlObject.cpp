#include "calendar/control/ControlObject.h"

#include <QApplication>

#include "calendar/com/VornCalendarTypeLib.h"

namespace quirn::vorncal {

using namespace quirn::com;

namespace {

std::int16_t arg(const DispParams& params, std::uint32_t index) {
    return params.args[index];
}

}  // namespace

HResult ControlObject::create(const Clock& clock, const Guid& iid, void** out) {
    if (!out) return kPointerError;
    *out = nullptr;
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return kFail;
    auto* object = new ControlObject(clock);
    const HResult hr = object->QueryInterface(iid, out);
    object->Release();
    return hr;
}

ControlObject::ControlObject(const Clock& clock)
    : widget_(new CVornCalendarIIICtrl(clock, calendarModule().displayState())) {
    QObject::connect(widget_, &CVornCalendarIIICtrl::newFocusTime, widget_,
                     [this](int year, int month, int day, int keyState) {
                         const std::int16_t args[] = {
                             static_cast<std::int16_t>(year), static_cast<std::int16_t>(month),
                             static_cast<std::int16_t>(day), static_cast<std::int16_t>(keyState)};
                         fire(kEventNewFocusTime, args);
                     });
    QObject::connect(widget_, &CVornCalendarIIICtrl::newLiftTime, widget_,
                     [this](int year, int month, int day) {
                         const std::int16_t args[] = {static_cast<std::int16_t>(year),
                                                      static_cast<std::int16_t>(month),
                                                      static_cast<std::int16_t>(day)};
                         fire(kEventNewLiftTime, args);
                     });
}

ControlObject::~ControlObject() {
    for (auto& [cookie, sink] : sinks_) sink->Release();
    if (!widget_) return;
    // Events still queued for the widget must not reach this object any more.
    QObject::disconnect(widget_.data(), nullptr, nullptr, nullptr);
    // A sink that let go of the control inside an event leaves the widget in its own handler.
    if (firing_ > 0)
        widget_->deleteLater();
    else
        delete widget_.data();
}

HResult ControlObject::QueryInterface(const Guid& iid, void** out) {
    if (!out) return kPointerError;
    if (iid == kIidUnknown || iid == kIidDispatch || iid == kDiidDispatch)
        *out = static_cast<IDispatch*>(this);
    else if (iid == kIidConnectionPointContainer)
        *out = static_cast<IConnectionPointContainer*>(this);
    else if (iid == kIidControlWindow)
        *out = static_cast<IControlWindow*>(this);
    else {
        *out = nullptr;
        return kNoInterface;
    }
    AddRef();
    return kOk;
}

std::uint32_t ControlObject::AddRef() {
    return ++refs_;
}

std::uint32_t ControlObject::Release() {
    const std::uint32_t left = --refs_;
    if (left == 0) delete this;
    return left;
}

HResult ControlObject::GetIDsOfNames(const char* name, DispId* id) {
    if (!name || !id) return kPointerError;
    const Member* member = findMember(dispatchMembers(), name);
    if (!member) return kUnknownName;
    *id = member->id;
    return kOk;
}

HResult ControlObject::Invoke(DispId id, const DispParams& params) {
    const Member* member = findMember(dispatchMembers(), id);
    if (!member) return kMemberNotFound;
    if (params.count != member->argumentCount) return kBadParamCount;
    if (params.count > 0 && !params.args) return kPointerError;
    if (!widget_) return kUnexpected;
    switch (id) {
        case kDispEraseDayPlans:
            widget_->eraseDayPlans();
            break;
        case kDispSetActivePlan:
            widget_->setActivePlan(arg(params, 0));
            break;
        case kDispAddDayPlan:
            widget_->addDayPlan(arg(params, 0), arg(params, 1), arg(params, 2), arg(params, 3));
            break;
        case kDispAboutBox:
            widget_->aboutBox();
            break;
    }
    return kOk;
}

HResult ControlObject::FindConnectionPoint(const Guid& iid, IConnectionPoint** out) {
    if (!out) return kPointerError;
    *out = nullptr;
    if (iid != kDiidEvents) return kNoConnection;
    *out = &events_;
    AddRef();
    return kOk;
}

HResult ControlObject::GetWindow(void** widget) {
    if (!widget) return kPointerError;
    *widget = widget_.data();
    return widget_ ? kOk : kUnexpected;
}

void ControlObject::fire(DispId id, std::span<const std::int16_t> args) {
    // Sinks may advise, unadvise or release the control while they are told.
    AddRef();
    ++firing_;
    std::vector<IDispatch*> sinks;
    for (auto& entry : sinks_) {
        entry.second->AddRef();
        sinks.push_back(entry.second);
    }
    const DispParams params{args.data(), static_cast<std::uint32_t>(args.size())};
    for (IDispatch* sink : sinks) {
        sink->Invoke(id, params);
        sink->Release();
    }
    if (refs_ > 1) --firing_;
    Release();
}

HResult ControlObject::EventPoint::QueryInterface(const Guid& iid, void** out) {
    if (!out) return kPointerError;
    if (iid == kIidUnknown || iid == kIidConnectionPoint) {
        *out = static_cast<IConnectionPoint*>(this);
        AddRef();
        return kOk;
    }
    *out = nullptr;
    return kNoInterface;
}

HResult ControlObject::EventPoint::GetConnectionInterface(Guid* iid) {
    if (!iid) return kPointerError;
    *iid = kDiidEvents;
    return kOk;
}

HResult ControlObject::EventPoint::Advise(IDispatch* sink, std::uint32_t* cookie) {
    if (!sink || !cookie) return kPointerError;
    sink->AddRef();
    *cookie = owner_.nextCookie_++;
    owner_.sinks_.emplace_back(*cookie, sink);
    return kOk;
}

HResult ControlObject::EventPoint::Unadvise(std::uint32_t cookie) {
    auto& sinks = owner_.sinks_;
    for (auto it = sinks.begin(); it != sinks.end(); ++it) {
        if (it->first == cookie) {
            IDispatch* sink = it->second;
            sinks.erase(it);
            sink->Release();
            return kOk;
        }
    }
    return kNoConnection;
}

}  // namespace quirn::vorncal
