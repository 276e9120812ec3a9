// The control's own child window: in-place activation creates it inside the container's window;
// it paints the calendar and turns left-button presses into the control's events.
#include <windowsx.h>

#include "calendar/CalendarPainter.h"
#include "calendar/activex/CalendarControl.h"
#include "calendar/activex/ControlWindowClass.h"
#include "calendar/com/VornCalendarTypeLib.h"
#include "calendar/gdi/GdiCalendarCanvas.h"

namespace quirn::activex {

namespace {

calendar::Rect toCalendarRect(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

// The key-state flags travel in the message's low word, as the window system delivered them.
std::int16_t keyState(WPARAM keys) {
    return static_cast<std::int16_t>(keys & 0xFFFF);
}

}  // namespace

HRESULT CalendarControl::activateInPlace(IOleClientSite* site, HWND parent, LPCRECT rect) {
    if (window_) {
        if (rect) SetObjectRects(rect, rect);
        ShowWindow(window_, SW_SHOW);
        return S_OK;
    }
    if (!site) return E_INVALIDARG;
    IOleInPlaceSite* inPlace = nullptr;
    if (FAILED(site->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&inPlace))))
        return E_NOINTERFACE;
    if (inPlace->CanInPlaceActivate() != S_OK) {
        inPlace->Release();
        return E_FAIL;
    }
    inPlace->OnInPlaceActivate();
    if (!parent) inPlace->GetWindow(&parent);
    RECT position{}, clip{};
    IOleInPlaceFrame* frame = nullptr;
    IOleInPlaceUIWindow* document = nullptr;
    OLEINPLACEFRAMEINFO frameInfo{};
    frameInfo.cb = sizeof frameInfo;
    if (SUCCEEDED(inPlace->GetWindowContext(&frame, &document, &position, &clip, &frameInfo))) {
        if (frame) frame->Release();
        if (document) document->Release();
    }
    const HRESULT hr = createWindow(parent, rect ? *rect : position);
    if (FAILED(hr)) {
        inPlace->OnInPlaceDeactivate();
        inPlace->Release();
        return hr;
    }
    inPlaceSite_ = inPlace;
    return S_OK;
}

HRESULT CalendarControl::createWindow(HWND parent, const RECT& rect) {
    const HINSTANCE instance = serverModule().instance();
    if (!registerControlWindowClass(instance, &CalendarControl::windowProc)) return E_FAIL;
    window_ = CreateWindowExW(0, kControlWindowClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS,
                              rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                              parent, nullptr, instance, this);
    return window_ ? S_OK : HRESULT_FROM_WIN32(GetLastError());
}

void CalendarControl::destroyWindow() {
    if (!window_) return;
    HWND window = window_;
    window_ = nullptr;
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    DestroyWindow(window);
}

LRESULT CALLBACK CalendarControl::windowProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* control = reinterpret_cast<CalendarControl*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!control) return DefWindowProcW(window, message, wParam, lParam);
    // window_ is set only when CreateWindowExW returns; messages come before that.
    if (!control->window_) control->window_ = window;
    return control->onMessage(message, wParam, lParam);
}

LRESULT CalendarControl::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND window = window_;
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(window, &ps);
            RECT client;
            GetClientRect(window, &client);
            paint(dc, client);
            EndPaint(window, &ps);
            return 0;
        }
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
            onLeftButton(message == WM_LBUTTONDOWN, wParam, lParam);
            break;
        case WM_RBUTTONDOWN:
            InvalidateRect(window, nullptr, TRUE);
            break;
        case WM_NCDESTROY:
            // Its parent took the window with it: the control no longer has one.
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            window_ = nullptr;
            break;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void CalendarControl::paint(HDC dc, const RECT& bounds) {
    calendar::CalendarFont font(dc);
    calendar::GdiCalendarCanvas canvas(dc);
    calendar::paintCalendar(model_, canvas, toCalendarRect(bounds));
}

void CalendarControl::layoutForWindow() {
    RECT client;
    GetClientRect(window_, &client);
    HDC dc = GetDC(window_);
    {
        calendar::CalendarFont font(dc);
        calendar::GdiCalendarCanvas canvas(dc);
        model_.layout(toCalendarRect(client), canvas.textSize("X"));
    }
    ReleaseDC(window_, dc);
}

void CalendarControl::onLeftButton(bool down, WPARAM keys, LPARAM where) {
    // A sink may let the control go while it handles the event.
    AddRef();
    const calendar::Point point{GET_X_LPARAM(where), GET_Y_LPARAM(where)};
    const auto hit = model_.hitTest(point, serverModule().clock().now());
    if (hit && eventsFrozen_ == 0) {
        const auto year = static_cast<std::int16_t>(hit->year);
        const auto month = static_cast<std::int16_t>(hit->month);
        const auto day = static_cast<std::int16_t>(hit->day);
        if (down) {
            const std::int16_t args[] = {year, month, day, keyState(keys)};
            events_.fire(vorncal::kEventNewFocusTime, args);
        } else {
            const std::int16_t args[] = {year, month, day};
            events_.fire(vorncal::kEventNewLiftTime, args);
        }
    }
    if (down && window_) InvalidateRect(window_, nullptr, TRUE);
    Release();
}

}  // namespace quirn::activex
