#pragma once
#include <QPointer>
#include <atomic>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

#include "calendar/com/Interfaces.h"
#include "calendar/control/Module.h"
#include "calendar/widget/CVornCalendarIIICtrl.h"

namespace quirn::vorncal {

// One calendar control as the host sees it: the dispatch interface _DVornCalendarIII, the
// connection point of _DVornCalendarIIIEvents, and its window. It owns its widget and deletes
// it with itself unless the host's parent window deleted it first.
class ControlObject final : public com::IDispatch,
                            public com::IConnectionPointContainer,
                            public com::IControlWindow {
  public:
    // A new control reading "today" from `clock` (which must outlive it), as interface `iid`.
    // Needs a running QApplication; kFail without one.
    static com::HResult create(const Clock& clock, const com::Guid& iid, void** out);

    com::HResult QueryInterface(const com::Guid& iid, void** out) override;
    std::uint32_t AddRef() override;
    std::uint32_t Release() override;

    com::HResult GetIDsOfNames(const char* name, com::DispId* id) override;
    com::HResult Invoke(com::DispId id, const com::DispParams& params) override;

    com::HResult FindConnectionPoint(const com::Guid& iid, com::IConnectionPoint** out) override;

    com::HResult GetWindow(void** widget) override;

  private:
    // The event connection point: a part of the control sharing its reference count.
    class EventPoint final : public com::IConnectionPoint {
      public:
        explicit EventPoint(ControlObject& owner) : owner_(owner) {}
        com::HResult QueryInterface(const com::Guid& iid, void** out) override;
        std::uint32_t AddRef() override { return owner_.AddRef(); }
        std::uint32_t Release() override { return owner_.Release(); }
        com::HResult GetConnectionInterface(com::Guid* iid) override;
        com::HResult Advise(com::IDispatch* sink, std::uint32_t* cookie) override;
        com::HResult Unadvise(std::uint32_t cookie) override;

      private:
        ControlObject& owner_;
    };

    explicit ControlObject(const Clock& clock);
    ~ControlObject();
    void fire(com::DispId id, std::span<const std::int16_t> args);

    ObjectCount count_;
    std::atomic<std::uint32_t> refs_{1};
    QPointer<CVornCalendarIIICtrl> widget_;
    EventPoint events_{*this};
    std::vector<std::pair<std::uint32_t, com::IDispatch*>> sinks_;
    std::uint32_t nextCookie_ = 1;
    int firing_ = 0;  // inside a widget's event handler while above 0
};

}  // namespace quirn::vorncal
