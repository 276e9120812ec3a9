#pragma once
#include <oaidl.h>

#include <cstdio>

namespace quirn::vorncal {

// The host's sink of _DVornCalendarIIIEvents: prints each event as one line, as the Linux host
// prints it ("NewFocusTime 2026-12-14 ctrl=0x0005"). The host owns it on its stack; the count
// only tells when the control has let it go.
class PrintingEventSink final : public IDispatch {
  public:
    explicit PrintingEventSink(std::FILE* out) : out_(out) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++refs_); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--refs_); }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** out) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argError) override;
    long references() const { return refs_; }

  private:
    std::FILE* out_;
    long refs_ = 0;
};

}  // namespace quirn::vorncal
