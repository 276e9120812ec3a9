// IOleObject: what a container calls to site the control, activate it in place and size it.
#include "calendar/activex/CalendarControl.h"
#include "calendar/activex/WinGuid.h"
#include "calendar/com/VornCalendarTypeLib.h"

namespace quirn::activex {

HRESULT CalendarControl::SetClientSite(IOleClientSite* site) {
    if (site) site->AddRef();
    if (site_) site_->Release();
    site_ = site;
    return S_OK;
}

HRESULT CalendarControl::GetClientSite(IOleClientSite** out) {
    if (!out) return E_POINTER;
    *out = site_;
    if (site_) site_->AddRef();
    return S_OK;
}

HRESULT CalendarControl::SetHostNames(LPCOLESTR, LPCOLESTR) {
    return S_OK;
}

HRESULT CalendarControl::Close(DWORD) {
    InPlaceDeactivate();
    events_.releaseSinks();
    if (adviseHolder_) adviseHolder_->SendOnClose();
    return S_OK;
}

HRESULT CalendarControl::SetMoniker(DWORD, IMoniker*) {
    return E_NOTIMPL;
}

HRESULT CalendarControl::GetMoniker(DWORD, DWORD, IMoniker** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}

HRESULT CalendarControl::InitFromData(IDataObject*, BOOL, DWORD) {
    return E_NOTIMPL;
}

HRESULT CalendarControl::GetClipboardData(DWORD, IDataObject** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}

HRESULT CalendarControl::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent,
                                LPCRECT rect) {
    switch (verb) {
        case OLEIVERB_PRIMARY:
        case OLEIVERB_SHOW:
        case OLEIVERB_INPLACEACTIVATE:
        case OLEIVERB_UIACTIVATE:
            return activateInPlace(site ? site : site_, parent, rect);
        case OLEIVERB_HIDE:
            if (window_) ShowWindow(window_, SW_HIDE);
            return S_OK;
        default:
            return OLEOBJ_S_INVALIDVERB;
    }
}

HRESULT CalendarControl::EnumVerbs(IEnumOLEVERB** out) {
    return OleRegEnumVerbs(toGuid(vorncal::kClsidControl), out);
}

HRESULT CalendarControl::Update() {
    return S_OK;
}

HRESULT CalendarControl::IsUpToDate() {
    return S_OK;
}

HRESULT CalendarControl::GetUserClassID(CLSID* out) {
    if (!out) return E_POINTER;
    *out = toGuid(vorncal::kClsidControl);
    return S_OK;
}

HRESULT CalendarControl::GetUserType(DWORD form, LPOLESTR* out) {
    return OleRegGetUserType(toGuid(vorncal::kClsidControl), form, out);
}

HRESULT CalendarControl::SetExtent(DWORD aspect, SIZEL* size) {
    if (!size) return E_POINTER;
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    extent_ = *size;
    return S_OK;
}

HRESULT CalendarControl::GetExtent(DWORD aspect, SIZEL* size) {
    if (!size) return E_POINTER;
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    *size = extent_;
    return S_OK;
}

HRESULT CalendarControl::Advise(IAdviseSink* sink, DWORD* connection) {
    if (!sink || !connection) return E_POINTER;
    *connection = 0;
    if (!adviseHolder_) {
        const HRESULT hr = CreateOleAdviseHolder(&adviseHolder_);
        if (FAILED(hr)) return hr;
    }
    return adviseHolder_->Advise(sink, connection);
}

HRESULT CalendarControl::Unadvise(DWORD connection) {
    if (!adviseHolder_) return OLE_E_NOCONNECTION;
    return adviseHolder_->Unadvise(connection);
}

HRESULT CalendarControl::EnumAdvise(IEnumSTATDATA** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!adviseHolder_) return S_OK;  // nothing to enumerate
    return adviseHolder_->EnumAdvise(out);
}

HRESULT CalendarControl::GetMiscStatus(DWORD aspect, DWORD* status) {
    if (!status) return E_POINTER;
    *status = aspect == DVASPECT_CONTENT ? static_cast<DWORD>(vorncal::kMiscStatus) : 0;
    return S_OK;
}

HRESULT CalendarControl::SetColorScheme(LOGPALETTE*) {
    return E_NOTIMPL;
}

}  // namespace quirn::activex
