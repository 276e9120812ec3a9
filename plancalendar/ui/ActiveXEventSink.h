#pragma once
#include <oaidl.h>

#include <functional>

namespace quirn::plancalendar {

// The sink of the registered control's _DVornCalendarIIIEvents: each event's arguments, back in
// the order the event lists them, go to the handler. The host owns it; the count only tells
// when the control has let go.
class ActiveXEventSink final : public IDispatch {
  public:
    using Handler = std::function<void(DISPID id, const short* args, unsigned count)>;
    explicit ActiveXEventSink(Handler handler) : handler_(std::move(handler)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++refs_); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--refs_); }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** out) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argError) override;

  private:
    Handler handler_;
    long refs_ = 0;
};

}  // namespace quirn::plancalendar
