#include <ctime>
#include <string>

#include "ActiveXModuleWin32.h"
#include "calendar/CalendarModel.h"
#include "calendar/com/VornCalendarTypeLib.h"
#include "calendar/gdi/GdiCalendarCanvas.h"
#include "calendar/view/ClickPoint.h"
#include "platform/LocalTime.h"

extern "C" {
BOOL WINAPI AtlAxWinInit();
HRESULT WINAPI AtlAxGetControl(HWND window, IUnknown** control);
}

namespace quirn::activex {
namespace {

constexpr int kWidth = 720;
constexpr int kHeight = 840;
constexpr std::time_t kDay = 24 * 60 * 60;

vorncal::LocalDate dateIn(int days) {
    const LocalDateTime t = toLocal(std::time(nullptr) + days * kDay);
    return {t.year, t.month, t.day};
}

// Whether this process can have windows at all (Wine without a display cannot).
bool windowsAvailable() {
    HWND probe = CreateWindowExW(0, L"STATIC", L"probe", WS_OVERLAPPEDWINDOW, 0, 0, 10, 10, nullptr,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
    if (probe) DestroyWindow(probe);
    return probe != nullptr;
}

calendar::TextSize fontX(HDC dc) {
    calendar::CalendarFont font(dc);
    calendar::GdiCalendarCanvas canvas(dc);
    return canvas.textSize("X");
}

// What the timer below saw of the about box while it was up, and how many times it looked.
struct AboutBoxSeen {
    std::wstring caption;
    std::wstring text;
    int ticks = 0;
};
AboutBoxSeen gAboutBoxSeen;
constexpr int kMostTicks = 100;  // 10 s at 100 ms
constexpr int kMessageBoxText = 0xFFFF;

BOOL CALLBACK closeDialog(HWND window, LPARAM) {
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    if (std::wstring(className) != L"#32770") return TRUE;
    wchar_t text[128] = {};
    GetWindowTextW(window, text, 128);
    gAboutBoxSeen.caption = text;
    GetDlgItemTextW(window, kMessageBoxText, text, 128);
    gAboutBoxSeen.text = text;
    PostMessageW(window, WM_COMMAND, IDOK, 0);
    return FALSE;
}

// Runs inside the about box's modal loop: reads the box and closes it; gives up on a box that
// never comes by closing whatever dialog the thread shows.
void CALLBACK lookForAboutBox(HWND, UINT, UINT_PTR timer, DWORD) {
    if (++gAboutBoxSeen.ticks > kMostTicks) KillTimer(nullptr, timer);
    EnumThreadWindows(GetCurrentThreadId(), closeDialog, 0);
}

using Hosting = ActiveXModuleTest;

TEST_F(Hosting, AboutBoxIsModalWithItsCaptionAndText) {
    if (!windowsAvailable())
        GTEST_SKIP() << "no windows here: run under an X display or Wine's null driver";
    IDispatch* control = createByProgId();
    ASSERT_NE(control, nullptr);
    gAboutBoxSeen = {};
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, lookForAboutBox);
    ASSERT_NE(timer, 0u);
    // Returns only once the box is closed.
    const HRESULT hr = call(*control, L"AboutBox", {});
    KillTimer(nullptr, timer);
    control->Release();
    EXPECT_EQ(hr, S_OK);
    EXPECT_EQ(gAboutBoxSeen.caption, L"About VornCalendarIII Control");
    EXPECT_EQ(gAboutBoxSeen.text, L"VornCalendarIII Control, Version 1.0");
}

// The ATL host creates the control by its ProgID and activates it in place; presses on its
// window reach an advised sink as events.
TEST_F(Hosting, PressesOnTheHostedControlFireEventsToTheSink) {
    HWND frame = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW, 0, 0, kWidth, kHeight,
                                 nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!frame) GTEST_SKIP() << "no windows here: run under an X display or Wine's null driver";
    ASSERT_TRUE(AtlAxWinInit());
    HWND host = CreateWindowExW(0, L"AtlAxWin", L"VORNCALENDARIII.VornCalendarIIICtrl.1",
                                WS_CHILD | WS_VISIBLE, 0, 0, kWidth, kHeight, frame, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(host, nullptr);
    IUnknown* unknown = nullptr;
    ASSERT_EQ(AtlAxGetControl(host, &unknown), S_OK);
    IOleWindow* oleWindow = nullptr;
    ASSERT_EQ(unknown->QueryInterface(IID_IOleWindow, reinterpret_cast<void**>(&oleWindow)), S_OK);
    HWND window = nullptr;
    ASSERT_EQ(oleWindow->GetWindow(&window), S_OK);
    oleWindow->Release();
    IConnectionPointContainer* container = nullptr;
    ASSERT_EQ(unknown->QueryInterface(IID_IConnectionPointContainer,
                                      reinterpret_cast<void**>(&container)),
              S_OK);
    IConnectionPoint* point = nullptr;
    ASSERT_EQ(container->FindConnectionPoint(toGuid(&vorncal::kDiidEvents), &point), S_OK);
    container->Release();
    RecordingSink sink;
    DWORD cookie = 0;
    ASSERT_EQ(point->Advise(&sink, &cookie), S_OK);

    RECT client;
    GetClientRect(window, &client);
    HDC dc = GetDC(window);
    const calendar::TextSize x = fontX(dc);
    ReleaseDC(window, dc);
    auto press = [&](const vorncal::ClickRequest& request, WPARAM keys) {
        auto at = vorncal::clickPoint(request, std::time(nullptr),
                                      {client.left, client.top, client.right, client.bottom}, x);
        ASSERT_TRUE(at);
        SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON | keys, MAKELPARAM(at->x, at->y));
        SendMessageW(window, WM_LBUTTONUP, keys, MAKELPARAM(at->x, at->y));
    };
    // The layout of the control's last paint decides what a press hits.
    ShowWindow(frame, SW_SHOW);
    UpdateWindow(window);
    const vorncal::LocalDate future = dateIn(3);
    press({vorncal::ClickRequest::Target::Date, 0, 0, future}, MK_CONTROL);
    const auto y = static_cast<std::int16_t>(future.year);
    const auto m = static_cast<std::int16_t>(future.month);
    const auto d = static_cast<std::int16_t>(future.day);
    const std::vector<ReceivedEvent> expected = {
        {vorncal::kEventNewFocusTime, {y, m, d, MK_LBUTTON | MK_CONTROL}},
        {vorncal::kEventNewLiftTime, {y, m, d}}};
    EXPECT_EQ(sink.events, expected);

    const vorncal::LocalDate today = dateIn(0);
    press({vorncal::ClickRequest::Target::Heading, 0, 0, today}, 0);
    if (today.day > 1)
        press({vorncal::ClickRequest::Target::Date, 0, 0, {today.year, today.month, 1}}, 0);
    EXPECT_EQ(sink.events.size(), expected.size()) << "a heading or a past day fired";

    EXPECT_EQ(point->Unadvise(cookie), S_OK);
    press({vorncal::ClickRequest::Target::Date, 0, 0, future}, 0);
    EXPECT_EQ(sink.events.size(), expected.size()) << "an unadvised sink was called";
    point->Release();
    unknown->Release();
    DestroyWindow(frame);
    EXPECT_EQ(sink.refs, 0);
}

// A container draws the control on a device context of its own through IViewObject.
TEST_F(Hosting, DrawShowsTheActivePlansMarkInverted) {
    IDispatch* control = createByProgId();
    ASSERT_NE(control, nullptr);
    const vorncal::LocalDate marked = dateIn(10), plain = dateIn(11);
    ASSERT_EQ(call(*control, L"EraseDayPlans", {}), S_OK);
    ASSERT_EQ(call(*control, L"AddDayPlan",
                   {static_cast<std::int16_t>(marked.year), static_cast<std::int16_t>(marked.month),
                    static_cast<std::int16_t>(marked.day), 42}),
              S_OK);
    ASSERT_EQ(call(*control, L"SetActivePlan", {42}), S_OK);
    IViewObject2* view = nullptr;
    ASSERT_EQ(control->QueryInterface(IID_IViewObject2, reinterpret_cast<void**>(&view)), S_OK);

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kWidth;
    info.bmiHeader.biHeight = -kHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(dc, nullptr);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(bitmap, nullptr);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    const RECTL bounds{0, 0, kWidth, kHeight};
    ASSERT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &bounds, nullptr,
                         nullptr, 0),
              S_OK);
    GdiFlush();

    calendar::DisplayState display;
    calendar::CalendarModel model(std::time(nullptr), display);
    model.layout({0, 0, kWidth, kHeight}, fontX(dc));
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    auto darkShare = [&](const vorncal::LocalDate& date) {
        for (const calendar::MonthPanel& panel : model.panels()) {
            if (panel.month() != calendar::YearMonth{date.year, date.month}) continue;
            const calendar::Rect r = panel.cellRect(*panel.findDay(date.day));
            int dark = 0, all = 0;
            for (int py = r.top + 1; py < r.bottom - 1; ++py)
                for (int px = r.left + 1; px < r.right - 1; ++px, ++all)
                    dark += (pixels[py * kWidth + px] & 0xFF) < 0x80;
            return static_cast<double>(dark) / all;
        }
        return -1.0;
    };
    EXPECT_GT(darkShare(marked), 0.5);
    EXPECT_LT(darkShare(plain), 0.3);
    EXPECT_EQ(pixels[0] & 0xFFFFFF, 0xFFFFFFu);  // white ground

    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
    view->Release();
    control->Release();
    EXPECT_EQ(canUnloadNow(), S_OK);
}

}  // namespace
}  // namespace quirn::activex
