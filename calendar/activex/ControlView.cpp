// IViewObject2: a container (or a print preview) draws the control on a device context of its
// own, through the same painter as the control's window.
#include "calendar/activex/CalendarControl.h"

namespace quirn::activex {

HRESULT CalendarControl::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC drawDc,
                              LPCRECTL bounds, LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR),
                              ULONG_PTR) {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!drawDc) return E_INVALIDARG;
    RECT rect{};
    if (bounds)
        rect = RECT{bounds->left, bounds->top, bounds->right, bounds->bottom};
    else if (window_)
        GetClientRect(window_, &rect);
    else
        return E_INVALIDARG;
    paint(drawDc, rect);
    // Presses on the window follow the window's layout, not that of a container's drawing.
    if (bounds && window_) layoutForWindow();
    return S_OK;
}

HRESULT CalendarControl::GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** out) {
    if (out) *out = nullptr;
    return S_FALSE;  // no palette of its own
}

HRESULT CalendarControl::Freeze(DWORD, LONG, void*, DWORD* freeze) {
    if (freeze) *freeze = 0;
    return E_NOTIMPL;
}

HRESULT CalendarControl::Unfreeze(DWORD) {
    return E_NOTIMPL;
}

HRESULT CalendarControl::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) {
    if (sink) sink->AddRef();
    if (viewSink_) viewSink_->Release();
    viewSink_ = sink;
    viewAspects_ = aspects;
    viewFlags_ = flags;
    return S_OK;
}

HRESULT CalendarControl::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** out) {
    if (aspects) *aspects = viewAspects_;
    if (flags) *flags = viewFlags_;
    if (out) {
        *out = viewSink_;
        if (viewSink_) viewSink_->AddRef();
    }
    return S_OK;
}

HRESULT CalendarControl::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) {
    return GetExtent(aspect, size);
}

}  // namespace quirn::activex
