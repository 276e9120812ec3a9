#pragma once
#include <unknwn.h>

#include "calendar/activex/ServerModule.h"

namespace quirn::activex {

// The class factory of one of the module's two classes (the control and its property page).
class ClassFactory final : public IClassFactory {
  public:
    using Creator = HRESULT (*)(REFIID iid, void** out);

    // The factory of `clsid` as interface `iid`; CLASS_E_CLASSNOTAVAILABLE for another class.
    static HRESULT create(REFCLSID clsid, REFIID iid, void** out);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

  private:
    explicit ClassFactory(Creator creator) : creator_(creator) {}
    ~ClassFactory() = default;

    ObjectCount count_;
    LONG refs_ = 1;
    Creator creator_;
};

}  // namespace quirn::activex
