#pragma once
#include <ocidl.h>

#include "calendar/activex/ServerModule.h"

namespace quirn::activex {

// The control's property page "General": the control has no properties, so the page shows a
// placeholder text and never becomes dirty.
class PropertyPage final : public IPropertyPage {
  public:
    static HRESULT create(REFIID iid, void** out);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE SetPageSite(IPropertyPageSite* site) override;
    HRESULT STDMETHODCALLTYPE Activate(HWND parent, LPCRECT rect, BOOL modal) override;
    HRESULT STDMETHODCALLTYPE Deactivate() override;
    HRESULT STDMETHODCALLTYPE GetPageInfo(PROPPAGEINFO* info) override;
    HRESULT STDMETHODCALLTYPE SetObjects(ULONG count, IUnknown** objects) override;
    HRESULT STDMETHODCALLTYPE Show(UINT command) override;
    HRESULT STDMETHODCALLTYPE Move(LPCRECT rect) override;
    HRESULT STDMETHODCALLTYPE IsPageDirty() override;
    HRESULT STDMETHODCALLTYPE Apply() override;
    HRESULT STDMETHODCALLTYPE Help(LPCOLESTR helpFolder) override;
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG* msg) override;

  private:
    PropertyPage() = default;
    ~PropertyPage();

    ObjectCount count_;
    LONG refs_ = 1;
    IPropertyPageSite* site_ = nullptr;
    HWND window_ = nullptr;
};

}  // namespace quirn::activex
