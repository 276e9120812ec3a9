// What Windows itself says about the top-level windows of the session, for the checks that run
// the station's programs under Wine: which window is in front, how many windows carry a title,
// and a window of its own that takes the foreground away from them.
// Usage: window-probe foreground
//        window-probe wait TITLE_PREFIX SECONDS   (prints the title once such a window shows)
//        window-probe count TITLE_PREFIX
//        window-probe hold TITLE SECONDS          (a window in front until the time is up)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr int kPollMs = 100;
constexpr int kMsPerSecond = 1000;
constexpr int kProbeWidth = 320;
constexpr int kProbeHeight = 120;

std::string utf8(const std::wstring& text) {
    if (text.empty()) return std::string();
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), size,
                        nullptr, nullptr);
    return out;
}

std::wstring wide(const char* text) {
    const int size = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    std::wstring out(static_cast<std::size_t>(size > 0 ? size - 1 : 0), L'\0');
    if (size > 1) MultiByteToWideChar(CP_UTF8, 0, text, -1, out.data(), size);
    return out;
}

std::string titleOf(HWND window) {
    if (!window) return std::string();
    wchar_t buffer[512] = {};
    GetWindowTextW(window, buffer, static_cast<int>(sizeof buffer / sizeof buffer[0]));
    return utf8(buffer);
}

struct Search {
    std::string prefix;
    int count = 0;
    std::string first;
};

BOOL CALLBACK visitWindow(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<Search*>(context);
    if (!IsWindowVisible(window)) return TRUE;
    const std::string title = titleOf(window);
    if (title.compare(0, search->prefix.size(), search->prefix) != 0) return TRUE;
    if (search->count++ == 0) search->first = title;
    return TRUE;
}

Search findWindows(const char* prefix) {
    Search search;
    search.prefix = prefix;
    EnumWindows(visitWindow, reinterpret_cast<LPARAM>(&search));
    return search;
}

int printForeground() {
    std::printf("%s\n", titleOf(GetForegroundWindow()).c_str());
    return 0;
}

int waitForWindow(const char* prefix, int seconds) {
    for (int waited = 0; waited <= seconds * kMsPerSecond; waited += kPollMs) {
        const Search search = findWindows(prefix);
        if (search.count > 0) {
            std::printf("%s\n", search.first.c_str());
            return 0;
        }
        Sleep(kPollMs);
    }
    std::fprintf(stderr, "window-probe: no window titled \"%s...\" within %d s\n", prefix, seconds);
    return 1;
}

int holdForeground(const char* title, int seconds) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"QuirnWindowProbe";
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, wide(title).c_str(),
                                  WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, kProbeWidth,
                                  kProbeHeight, nullptr, nullptr, instance, nullptr);
    if (!window) return 1;
    ShowWindow(window, SW_SHOWNORMAL);
    SetForegroundWindow(window);
    std::printf("%s\n", title);
    std::fflush(stdout);
    const DWORD end = GetTickCount() + static_cast<DWORD>(seconds) * kMsPerSecond;
    while (static_cast<LONG>(end - GetTickCount()) > 0) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        Sleep(kPollMs / 4);
    }
    DestroyWindow(window);
    return 0;
}

int usage() {
    std::fputs(
        "usage: window-probe foreground | wait PREFIX SECONDS | count PREFIX |"
        " hold TITLE SECONDS\n",
        stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "foreground") == 0) return printForeground();
    if (argc == 4 && std::strcmp(argv[1], "wait") == 0)
        return waitForWindow(argv[2], std::atoi(argv[3]));
    if (argc == 3 && std::strcmp(argv[1], "count") == 0) {
        std::printf("%d\n", findWindows(argv[2]).count);
        return 0;
    }
    if (argc == 4 && std::strcmp(argv[1], "hold") == 0)
        return holdForeground(argv[2], std::atoi(argv[3]));
    return usage();
}
