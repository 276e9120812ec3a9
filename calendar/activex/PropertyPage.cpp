#include "calendar/activex/PropertyPage.h"

#include <cstring>
#include <new>

#include "calendar/ControlTexts.h"

namespace quirn::activex {

namespace {

constexpr SIZE kPageSize{250, 62};

// A copy of an ASCII text in task memory, as a page's caller frees it.
LPOLESTR taskText(const char* text) {
    const size_t n = std::strlen(text);
    auto* out = static_cast<LPOLESTR>(CoTaskMemAlloc((n + 1) * sizeof(OLECHAR)));
    if (!out) return nullptr;
    for (size_t i = 0; i <= n; ++i) out[i] = static_cast<OLECHAR>(text[i]);
    return out;
}

}  // namespace

HRESULT PropertyPage::create(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    auto* page = new (std::nothrow) PropertyPage();
    if (!page) return E_OUTOFMEMORY;
    const HRESULT hr = page->QueryInterface(iid, out);
    page->Release();
    return hr;
}

PropertyPage::~PropertyPage() {
    Deactivate();
    if (site_) site_->Release();
}

HRESULT PropertyPage::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IPropertyPage)) {
        *out = static_cast<IPropertyPage*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

ULONG PropertyPage::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&refs_));
}

ULONG PropertyPage::Release() {
    const LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

HRESULT PropertyPage::SetPageSite(IPropertyPageSite* site) {
    if (site) site->AddRef();
    if (site_) site_->Release();
    site_ = site;
    return S_OK;
}

HRESULT PropertyPage::Activate(HWND parent, LPCRECT rect, BOOL) {
    if (!rect) return E_POINTER;
    if (window_) return E_UNEXPECTED;
    window_ = CreateWindowExA(0, "STATIC", kPropPagePlaceholder, WS_CHILD | SS_LEFT, rect->left,
                              rect->top, rect->right - rect->left, rect->bottom - rect->top, parent,
                              nullptr, nullptr, nullptr);
    return window_ ? S_OK : E_FAIL;
}

HRESULT PropertyPage::Deactivate() {
    if (window_) DestroyWindow(window_);
    window_ = nullptr;
    return S_OK;
}

HRESULT PropertyPage::GetPageInfo(PROPPAGEINFO* info) {
    if (!info) return E_POINTER;
    info->cb = sizeof *info;
    info->pszTitle = taskText(kPropPageCaption);
    info->size = kPageSize;
    info->pszDocString = nullptr;
    info->pszHelpFile = nullptr;
    info->dwHelpContext = 0;
    return info->pszTitle ? S_OK : E_OUTOFMEMORY;
}

HRESULT PropertyPage::SetObjects(ULONG, IUnknown**) {
    return S_OK;  // nothing of the objects is shown or edited
}

HRESULT PropertyPage::Show(UINT command) {
    if (window_) ShowWindow(window_, static_cast<int>(command));
    return S_OK;
}

HRESULT PropertyPage::Move(LPCRECT rect) {
    if (!rect) return E_POINTER;
    if (window_)
        MoveWindow(window_, rect->left, rect->top, rect->right - rect->left,
                   rect->bottom - rect->top, TRUE);
    return S_OK;
}

HRESULT PropertyPage::IsPageDirty() {
    return S_FALSE;
}

HRESULT PropertyPage::Apply() {
    return S_OK;
}

HRESULT PropertyPage::Help(LPCOLESTR) {
    return E_NOTIMPL;
}

HRESULT PropertyPage::TranslateAccelerator(MSG*) {
    return S_FALSE;
}

}  // namespace quirn::activex
