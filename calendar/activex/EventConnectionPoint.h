#pragma once
#include <ocidl.h>

#include <cstdint>
#include <span>
#include <utility>
#include <vector>

namespace quirn::activex {

// The control's connection point for _DVornCalendarIIIEvents. It is a part of the control and
// lives and dies with it: its references are the control's.
class EventConnectionPoint final : public IConnectionPoint {
  public:
    explicit EventConnectionPoint(IConnectionPointContainer& owner) : owner_(owner) {}
    ~EventConnectionPoint();
    EventConnectionPoint(const EventConnectionPoint&) = delete;
    EventConnectionPoint& operator=(const EventConnectionPoint&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return owner_.AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return owner_.Release(); }
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* out) override;
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** out) override;
    // Takes the sink's IDispatch (a sink must offer it) and keeps it until Unadvise.
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** out) override;

    // Calls every advised sink's Invoke with the event's arguments as 16-bit integers (given
    // in the order the event lists them). A sink's failure does not stop the others.
    void fire(DISPID id, std::span<const std::int16_t> args);
    // Lets every sink go (the control's Close).
    void releaseSinks();

  private:
    IConnectionPointContainer& owner_;
    std::vector<std::pair<DWORD, IDispatch*>> sinks_;
    DWORD nextCookie_ = 1;
};

}  // namespace quirn::activex
