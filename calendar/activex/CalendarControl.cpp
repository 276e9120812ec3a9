#include "calendar/activex/CalendarControl.h"

#include <new>

#include "calendar/activex/AboutBox.h"
#include "calendar/activex/WinGuid.h"
#include "calendar/com/VornCalendarTypeLib.h"

namespace quirn::activex {

namespace {

// The container's default extent before it sets one: 5 by 6 inches, in HIMETRIC.
constexpr LONG kDefaultWidthHiMetric = 12700;
constexpr LONG kDefaultHeightHiMetric = 15240;

struct InterfaceEntry {
    const IID* iid;
    void* (*cast)(CalendarControl*);
};

template <typename I>
void* as(CalendarControl* c) {
    return static_cast<I*>(c);
}

// Every interface the control answers to, next to the object that implements it.
const InterfaceEntry kInterfaces[] = {
    {&IID_IUnknown, &as<IDispatch>},
    {&IID_IDispatch, &as<IDispatch>},
    {&IID_IProvideClassInfo, &as<IProvideClassInfo2>},
    {&IID_IProvideClassInfo2, &as<IProvideClassInfo2>},
    {&IID_IConnectionPointContainer, &as<IConnectionPointContainer>},
    {&IID_IOleObject, &as<IOleObject>},
    {&IID_IOleWindow, &as<IOleInPlaceObject>},
    {&IID_IOleInPlaceObject, &as<IOleInPlaceObject>},
    {&IID_IOleInPlaceActiveObject, &as<IOleInPlaceActiveObject>},
    {&IID_IOleControl, &as<IOleControl>},
    {&IID_IViewObject, &as<IViewObject2>},
    {&IID_IViewObject2, &as<IViewObject2>},
    {&IID_IPersist, &as<IPersistStreamInit>},
    {&IID_IPersistStreamInit, &as<IPersistStreamInit>},
    {&IID_IPersistPropertyBag, &as<IPersistPropertyBag>},
    {&IID_ISpecifyPropertyPages, &as<ISpecifyPropertyPages>},
};

}  // namespace

HRESULT CalendarControl::create(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    auto* control = new (std::nothrow) CalendarControl();
    if (!control) return E_OUTOFMEMORY;
    const HRESULT hr = control->QueryInterface(iid, out);
    control->Release();
    return hr;
}

CalendarControl::CalendarControl()
    : model_(serverModule().clock().now(), serverModule().displayState()),
      events_(*this),
      extent_{kDefaultWidthHiMetric, kDefaultHeightHiMetric} {}

CalendarControl::~CalendarControl() {
    destroyWindow();
    events_.releaseSinks();
    if (viewSink_) viewSink_->Release();
    if (adviseHolder_) adviseHolder_->Release();
    if (inPlaceSite_) inPlaceSite_->Release();
    if (site_) site_->Release();
}

HRESULT CalendarControl::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    for (const InterfaceEntry& entry : kInterfaces) {
        if (IsEqualIID(iid, *entry.iid)) {
            *out = entry.cast(this);
            break;
        }
    }
    // The type library's dispatch interface is our IDispatch.
    if (!*out && sameGuid(iid, vorncal::kDiidDispatch)) *out = as<IDispatch>(this);
    if (!*out) return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

ULONG CalendarControl::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&refs_));
}

ULONG CalendarControl::Release() {
    const LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

void CalendarControl::eraseDayPlans() {
    model_.eraseDayPlans();
}

void CalendarControl::setActivePlan(int planNumber) {
    model_.setActivePlan(planNumber);
    if (window_) InvalidateRect(window_, nullptr, TRUE);
    if (viewSink_) viewSink_->OnViewChange(DVASPECT_CONTENT, -1);
}

void CalendarControl::addDayPlan(int year, int month, int day, std::int16_t planNumber) {
    model_.addDayPlan(year, month, day, planNumber);
}

void CalendarControl::aboutBox() {
    showAboutBox(window_);
}

HRESULT CalendarControl::callMethod(DISPID id, std::span<const std::int16_t> args) {
    const vorncal::Member* member = vorncal::findMember(vorncal::dispatchMembers(), id);
    if (!member) return DISP_E_MEMBERNOTFOUND;
    if (args.size() != member->argumentCount) return DISP_E_BADPARAMCOUNT;
    switch (id) {
        case vorncal::kDispEraseDayPlans:
            eraseDayPlans();
            return S_OK;
        case vorncal::kDispSetActivePlan:
            setActivePlan(args[0]);
            return S_OK;
        case vorncal::kDispAddDayPlan:
            addDayPlan(args[0], args[1], args[2], args[3]);
            return S_OK;
        case vorncal::kDispAboutBox:
            aboutBox();
            return S_OK;
        default:
            return DISP_E_MEMBERNOTFOUND;
    }
}

}  // namespace quirn::activex
