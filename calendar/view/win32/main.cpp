// vorncal-view.exe: the Windows host of the VornCalendarIII control. It hosts the registered
// control by its ProgID in the system's ATL host window, shows one group's annual plans through
// the control's dispatch interface (erase, one mark per day, then the active plan), prints every
// event the control fires, and can press on the control and save a picture of it.
#include <ocidl.h>
#include <ole2.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>

#include "calendar/com/VornCalendarTypeLib.h"
#include "calendar/gdi/GdiCalendarCanvas.h"
#include "calendar/view/ClickPoint.h"
#include "calendar/view/DayPlanCsv.h"
#include "calendar/view/ViewOptions.h"
#include "calendar/view/win32/DispatchCalls.h"
#include "calendar/view/win32/HostedControl.h"
#include "calendar/view/win32/PrintingEventSink.h"
#include "calendar/view/win32/WindowPicture.h"
#include "platform/FileSystem.h"
#include "platform/Format.h"
#include "platform/Win32Text.h"
#include "platform/WorkingFolder.h"

using namespace quirn;
using namespace quirn::vorncal;

namespace {

constexpr const wchar_t* kMainWindowClass = L"VornCalendarViewWindow";
constexpr const char* kDayPlanFile = "dayplan.csv";
constexpr const char* kModuleFile = "vorncal.dll";
// Enough to drain what a click or a paint queues, never an endless loop.
constexpr int kMostMessagesPerPump = 10000;

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) PostQuitMessage(0);
    if (message == WM_SIZE) {
        if (HWND host = GetWindow(window, GW_CHILD))
            MoveWindow(host, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void pumpMessages() {
    MSG msg;
    for (int i = 0; i < kMostMessagesPerPump && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// The module beside this program, for self-registration.
std::string moduleBeside() {
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::string exe = win32::narrowed(std::wstring(path, n < MAX_PATH ? n : 0));
    const size_t slash = exe.find_last_of("\\/");
    return (slash == std::string::npos ? std::string() : exe.substr(0, slash + 1)) + kModuleFile;
}

int selfRegister(const ViewOptions& options) {
    const std::string path = options.library.empty() ? moduleBeside() : options.library;
    const char* entry = options.unregisterServer ? "DllUnregisterServer" : "DllRegisterServer";
    HMODULE module = LoadLibraryW(win32::widened(path).c_str());
    if (!module) {
        std::fprintf(stderr, "vorncal-view: cannot load %s\n", path.c_str());
        return 1;
    }
    using EntryPoint = HRESULT(WINAPI*)();
    auto call =
        reinterpret_cast<EntryPoint>(reinterpret_cast<void*>(GetProcAddress(module, entry)));
    const HRESULT hr = call ? call() : E_NOINTERFACE;
    FreeLibrary(module);
    std::printf("%s: 0x%08lX (%s)\n", entry, static_cast<unsigned long>(hr), path.c_str());
    return SUCCEEDED(hr) ? 0 : 1;
}

// The host's part of the plan dialog: marks of the group, then the active plan (which paints).
bool showMarks(IDispatch& control, const std::vector<DayMark>& marks, int activePlan) {
    HRESULT hr = callByName(control, L"EraseDayPlans", {});
    for (const DayMark& m : marks)
        if (SUCCEEDED(hr))
            hr = callByName(control, L"AddDayPlan",
                            {static_cast<std::int16_t>(m.year), static_cast<std::int16_t>(m.month),
                             static_cast<std::int16_t>(m.day), m.planCode});
    if (SUCCEEDED(hr))
        hr = callByName(control, L"SetActivePlan", {static_cast<std::int16_t>(activePlan)});
    if (FAILED(hr))
        std::fprintf(stderr, "vorncal-view: a call through IDispatch failed: 0x%08lX\n",
                     static_cast<unsigned long>(hr));
    return SUCCEEDED(hr);
}

// The size of "X" in the control's painting font on its window, as the control measures it.
calendar::TextSize fontX(HWND window) {
    HDC dc = GetDC(window);
    calendar::TextSize x;
    {
        calendar::CalendarFont font(dc);
        calendar::GdiCalendarCanvas canvas(dc);
        x = canvas.textSize("X");
    }
    ReleaseDC(window, dc);
    return x;
}

// Presses and releases the left button on the control, as posted mouse messages.
bool click(HWND window, const ClickRequest& request, int keys) {
    RECT client;
    GetClientRect(window, &client);
    std::optional<calendar::Point> at =
        clickPoint(request, std::time(nullptr),
                   {client.left, client.top, client.right, client.bottom}, fontX(window));
    if (!at) {
        std::fprintf(stderr, "vorncal-view: the click's month is not on the control\n");
        return false;
    }
    const LPARAM where = MAKELPARAM(at->x, at->y);
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON | static_cast<WPARAM>(keys), where);
    PostMessageW(window, WM_LBUTTONUP, static_cast<WPARAM>(keys), where);
    pumpMessages();
    std::fprintf(stderr, "vorncal-view: clicked at %d,%d\n", at->x, at->y);
    return true;
}

bool savePicture(HWND window, const std::string& path) {
    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);
    pumpMessages();
    std::optional<Picture> picture = windowPicture(window);
    if (!picture || !writePpm(path, *picture)) {
        std::fprintf(stderr, "vorncal-view: cannot write %s\n", path.c_str());
        return false;
    }
    const calendar::TextSize x = fontX(window);
    std::fprintf(stderr, "vorncal-view: picture %s %dx%d X=%dx%d\n", path.c_str(), picture->width,
                 picture->height, x.width, x.height);
    return true;
}

int run(const ViewOptions& options) {
    const WorkingFolder root =
        options.root.empty() ? defaultWorkingFolder() : WorkingFolder(options.root);
    const std::string csvPath = root.file(kDayPlanFile);
    const std::optional<std::string> file = readWholeFile(csvPath);
    if (!file) std::fprintf(stderr, "vorncal-view: cannot read %s; no marks\n", csvPath.c_str());
    const std::string csv = file.value_or(std::string());
    const GroupId group = options.group.value_or(firstGroup(csv).value_or(GroupId{}));
    const std::vector<DayMark> marks = groupDayMarks(csv, group);
    std::fprintf(stderr, "vorncal-view: %s, master group %d, group %d: %d marks\n", csvPath.c_str(),
                 group.masterGroup, group.group, static_cast<int>(marks.size()));

    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = mainWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kMainWindowClass;
    RegisterClassExW(&wc);
    const std::wstring title = win32::widened(
        format("VornCalendarIII - master group %d, group %d", group.masterGroup, group.group));
    RECT frame{0, 0, options.width, options.height};
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    HWND main = CreateWindowExW(0, kMainWindowClass, title.c_str(), WS_OVERLAPPEDWINDOW,
                                CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                                frame.bottom - frame.top, nullptr, nullptr, wc.hInstance, nullptr);
    if (!main) return 1;

    int rc = 0;
    {
        HostedControl control;
        std::string error;
        RECT client;
        GetClientRect(main, &client);
        if (!control.create(main, client, win32::widened(kControlProgId), error)) {
            std::fprintf(stderr, "vorncal-view: cannot host %s: %s\n", kControlProgId,
                         error.c_str());
            DestroyWindow(main);
            return 1;
        }
        PrintingEventSink sink(stdout);
        IConnectionPointContainer* container = nullptr;
        IConnectionPoint* events = nullptr;
        DWORD cookie = 0;
        IID eventsIid;
        static_assert(sizeof eventsIid == sizeof kDiidEvents);
        std::memcpy(&eventsIid, &kDiidEvents, sizeof eventsIid);
        if (SUCCEEDED(control.dispatch()->QueryInterface(IID_IConnectionPointContainer,
                                                         reinterpret_cast<void**>(&container)))) {
            container->FindConnectionPoint(eventsIid, &events);
            container->Release();
        }
        if (!events || FAILED(events->Advise(&sink, &cookie)))
            std::fprintf(stderr, "vorncal-view: cannot advise the control's events\n");

        if (!showMarks(*control.dispatch(), marks, options.activePlan)) rc = 1;
        ShowWindow(main, SW_SHOW);
        UpdateWindow(main);
        pumpMessages();
        for (const ClickRequest& request : options.clicks)
            if (!click(control.controlWindow(), request, options.keys)) rc = 1;
        if (!options.picture.empty()) {
            if (!savePicture(control.controlWindow(), options.picture)) rc = 1;
        } else if (options.clicks.empty()) {
            MSG msg;
            while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
        if (events) {
            events->Unadvise(cookie);
            events->Release();
        }
    }
    if (IsWindow(main)) DestroyWindow(main);
    return rc;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    std::string error;
    std::optional<ViewOptions> parsed = parseViewOptions(args, error);
    if (!parsed) {
        std::fprintf(stderr, "vorncal-view: %s\n%s", error.c_str(), kViewUsage);
        return 2;
    }
    const ViewOptions& options = *parsed;
    if (options.help) {
        std::printf("%s", kViewUsage);
        return 0;
    }
    if (options.today || !options.screenshot.empty()) {
        // The hosted control reads the system's clock and draws on the screen only.
        std::fprintf(stderr, "vorncal-view: --today and --screenshot are not available here\n");
        return 2;
    }
    if (options.registerServer || options.unregisterServer) return selfRegister(options);
    if (FAILED(OleInitialize(nullptr))) return 1;
    const int rc = run(options);
    OleUninitialize();
    return rc;
}
