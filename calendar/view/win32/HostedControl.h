#pragma once
#include <oaidl.h>
#include <windows.h>

#include <string>

namespace quirn::vorncal {

// The control hosted by its ProgID in an "AtlAxWin" window (the system's ATL host), as any
// container of the control would host it.
class HostedControl {
  public:
    HostedControl() = default;
    ~HostedControl();
    HostedControl(const HostedControl&) = delete;
    HostedControl& operator=(const HostedControl&) = delete;

    // Creates the host window over `rect` of `parent` and the control inside it; false with
    // `error` set when the system cannot host it (class not registered, no IDispatch...).
    bool create(HWND parent, const RECT& rect, const std::wstring& progId, std::string& error);

    IDispatch* dispatch() const { return dispatch_; }
    // The control's own window (in-place active inside the host window).
    HWND controlWindow() const { return controlWindow_; }

  private:
    HWND host_ = nullptr;
    HWND controlWindow_ = nullptr;
    IDispatch* dispatch_ = nullptr;
};

}  // namespace quirn::vorncal
