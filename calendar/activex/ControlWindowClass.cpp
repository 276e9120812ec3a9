#include "calendar/activex/ControlWindowClass.h"

namespace quirn::activex {

bool registerControlWindowClass(HINSTANCE instance, WNDPROC procedure) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(instance, kControlWindowClass, &existing)) return true;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = procedure;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = kControlWindowClass;
    return RegisterClassExW(&wc) != 0;
}

void unregisterControlWindowClass(HINSTANCE instance) {
    UnregisterClassW(kControlWindowClass, instance);
}

}  // namespace quirn::activex
