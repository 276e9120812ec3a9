#include "calendar/view/win32/HostedControl.h"

#include <oleidl.h>

#include "platform/Format.h"

// The ATL host's entry points (MinGW's libatl.a imports them from atl.dll); MinGW ships no
// header for them.
extern "C" {
BOOL WINAPI AtlAxWinInit();
HRESULT WINAPI AtlAxGetControl(HWND window, IUnknown** control);
}

namespace quirn::vorncal {

namespace {
constexpr const wchar_t* kAtlHostClass = L"AtlAxWin";
}  // namespace

HostedControl::~HostedControl() {
    if (dispatch_) dispatch_->Release();
    if (host_) DestroyWindow(host_);
}

bool HostedControl::create(HWND parent, const RECT& rect, const std::wstring& progId,
                           std::string& error) {
    if (!AtlAxWinInit()) {
        error = "AtlAxWinInit failed";
        return false;
    }
    // The host creates the control named by its window text when the window is created.
    host_ = CreateWindowExW(0, kAtlHostClass, progId.c_str(), WS_CHILD | WS_VISIBLE, rect.left,
                            rect.top, rect.right - rect.left, rect.bottom - rect.top, parent,
                            nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!host_) {
        error = format("cannot create an %ls window (error %lu)", kAtlHostClass,
                       static_cast<unsigned long>(GetLastError()));
        return false;
    }
    IUnknown* control = nullptr;
    HRESULT hr = AtlAxGetControl(host_, &control);
    if (FAILED(hr) || !control) {
        error = format("the host made no control of the ProgID (0x%08lX)",
                       static_cast<unsigned long>(hr));
        return false;
    }
    hr = control->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch_));
    IOleWindow* window = nullptr;
    if (SUCCEEDED(control->QueryInterface(IID_IOleWindow, reinterpret_cast<void**>(&window)))) {
        window->GetWindow(&controlWindow_);
        window->Release();
    }
    control->Release();
    if (FAILED(hr)) {
        error = format("the control offers no IDispatch (0x%08lX)", static_cast<unsigned long>(hr));
        return false;
    }
    if (!controlWindow_) {
        error = "the control did not activate in place (no window)";
        return false;
    }
    return true;
}

}  // namespace quirn::vorncal
