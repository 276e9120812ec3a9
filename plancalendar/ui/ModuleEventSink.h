#pragma once
#include "calendar/com/Interfaces.h"
#include "calendar/com/VornCalendarTypeLib.h"

namespace quirn::plancalendar {

// The host's sink of the control module's _DVornCalendarIIIEvents: hands each event with its
// arguments to the host (fireFocus, fireLift). The host owns it; the count only tells when the
// control has let go.
template <typename Host>
class ModuleEventSink final : public com::IDispatch {
  public:
    explicit ModuleEventSink(Host& host) : host_(host) {}

    com::HResult QueryInterface(const com::Guid& iid, void** out) override {
        if (!out) return com::kPointerError;
        if (iid == com::kIidUnknown || iid == com::kIidDispatch || iid == vorncal::kDiidEvents) {
            *out = static_cast<com::IDispatch*>(this);
            AddRef();
            return com::kOk;
        }
        *out = nullptr;
        return com::kNoInterface;
    }
    std::uint32_t AddRef() override { return ++refs_; }
    std::uint32_t Release() override { return --refs_; }
    com::HResult GetIDsOfNames(const char* name, com::DispId* id) override {
        if (!name || !id) return com::kPointerError;
        const vorncal::Member* member = vorncal::findMember(vorncal::eventMembers(), name);
        if (!member) return com::kUnknownName;
        *id = member->id;
        return com::kOk;
    }
    com::HResult Invoke(com::DispId id, const com::DispParams& params) override {
        const vorncal::Member* member = vorncal::findMember(vorncal::eventMembers(), id);
        if (!member || !params.args || params.count != member->argumentCount)
            return com::kBadParamCount;
        const std::int16_t* a = params.args;
        if (id == vorncal::kEventNewFocusTime)
            host_.fireFocus(a[0], a[1], a[2], static_cast<std::uint16_t>(a[3]));
        else if (id == vorncal::kEventNewLiftTime)
            host_.fireLift(a[0], a[1], a[2]);
        return com::kOk;
    }

  private:
    Host& host_;
    std::uint32_t refs_ = 0;
};

}  // namespace quirn::plancalendar
