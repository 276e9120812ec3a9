// IOleWindow, IOleInPlaceObject, IOleInPlaceActiveObject and IOleControl: the control's part of
// in-place activation. It has no menus, toolbars or accelerators of its own.
#include "calendar/activex/CalendarControl.h"

namespace quirn::activex {

HRESULT CalendarControl::GetWindow(HWND* out) {
    if (!out) return E_POINTER;
    *out = window_;
    return window_ ? S_OK : E_FAIL;
}

HRESULT CalendarControl::ContextSensitiveHelp(BOOL) {
    return E_NOTIMPL;
}

HRESULT CalendarControl::InPlaceDeactivate() {
    destroyWindow();
    if (inPlaceSite_) {
        IOleInPlaceSite* site = inPlaceSite_;
        inPlaceSite_ = nullptr;
        site->OnInPlaceDeactivate();
        site->Release();
    }
    return S_OK;
}

HRESULT CalendarControl::UIDeactivate() {
    return S_OK;
}

HRESULT CalendarControl::SetObjectRects(LPCRECT position, LPCRECT) {
    if (!position) return E_POINTER;
    if (window_)
        MoveWindow(window_, position->left, position->top, position->right - position->left,
                   position->bottom - position->top, TRUE);
    return S_OK;
}

HRESULT CalendarControl::ReactivateAndUndo() {
    return E_NOTIMPL;
}

HRESULT CalendarControl::TranslateAccelerator(LPMSG) {
    return S_FALSE;
}

HRESULT CalendarControl::OnFrameWindowActivate(BOOL) {
    return S_OK;
}

HRESULT CalendarControl::OnDocWindowActivate(BOOL) {
    return S_OK;
}

HRESULT CalendarControl::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) {
    return S_OK;
}

HRESULT CalendarControl::EnableModeless(BOOL) {
    return S_OK;
}

HRESULT CalendarControl::GetControlInfo(CONTROLINFO* info) {
    if (!info) return E_POINTER;
    info->cb = sizeof *info;
    info->hAccel = nullptr;
    info->cAccel = 0;
    info->dwFlags = 0;
    return S_OK;
}

HRESULT CalendarControl::OnMnemonic(MSG*) {
    return E_NOTIMPL;
}

HRESULT CalendarControl::OnAmbientPropertyChange(DISPID) {
    return S_OK;
}

HRESULT CalendarControl::FreezeEvents(BOOL freeze) {
    if (freeze)
        ++eventsFrozen_;
    else if (eventsFrozen_ > 0)
        --eventsFrozen_;
    return S_OK;
}

}  // namespace quirn::activex
