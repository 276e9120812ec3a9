// The calendar host where the control is the registered ActiveX control (vorncal.dll, which the
// setup program registers): hosted by its ProgID in the system's ATL host window, a native child
// of the tab's widget, driven through IDispatch and heard through its connection point.
#include <ocidl.h>
#include <ole2.h>
#include <windows.h>

#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>
#include <array>
#include <cstring>
#include <vector>

#include "calendar/com/VornCalendarTypeLib.h"
#include "plancalendar/ui/ActiveXEventSink.h"
#include "plancalendar/ui/CalendarHost.h"
#include "plancalendar/ui/HostProblemLabel.h"
#include "platform/Win32Text.h"

namespace quirn::plancalendar {

namespace {

constexpr const wchar_t* kAtlHostClass = L"AtlAxWin";
constexpr const wchar_t* kAtlModule = L"atl.dll";

// The system's ATL host (atl.dll), loaded when a calendar is first shown rather than imported,
// so that the program starts where it is missing and the tab can say so. It stays loaded: its
// window class keeps pointing into it.
struct AtlHost {
    using InitFn = BOOL(WINAPI*)();
    using GetControlFn = HRESULT(WINAPI*)(HWND, IUnknown**);
    InitFn init = nullptr;
    GetControlFn getControl = nullptr;

    bool load() {
        HMODULE atl = LoadLibraryW(kAtlModule);
        if (!atl) return false;
        init =
            reinterpret_cast<InitFn>(reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxWinInit")));
        getControl = reinterpret_cast<GetControlFn>(
            reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxGetControl")));
        return init && getControl;
    }
};
constexpr const char* kWindowsPlatform = "windows";
enum Method { kErase, kAdd, kActive, kMethodCount };
constexpr std::array<const wchar_t*, kMethodCount> kMethodNames{L"EraseDayPlans", L"AddDayPlan",
                                                                L"SetActivePlan"};

QString hresultText(HRESULT hr) {
    return QStringLiteral("0x%1").arg(static_cast<unsigned long>(hr), 8, 16, QLatin1Char('0'));
}

class ActiveXCalendarHost final : public CalendarHost {
  public:
    ActiveXCalendarHost(QWidget* parent)
        : container_(new QWidget(parent)),
          sink_(
              [this](DISPID id, const short* args, unsigned count) { onEvent(id, args, count); }) {
        container_->setObjectName(QStringLiteral("calendarHost"));
        auto* layout = new QVBoxLayout(container_);
        layout->setContentsMargins(0, 0, 0, 0);
        site_ = new QWidget(container_);
        site_->setObjectName(QStringLiteral("calendarControl"));
        layout->addWidget(site_);
        if (!create()) {
            site_->hide();
            layout->addWidget(makeHostProblemLabel(problem_, container_));
        }
        site_->installEventFilter(this);
    }

    ~ActiveXCalendarHost() override {
        site_->removeEventFilter(this);
        if (events_) {
            events_->Unadvise(cookie_);
            events_->Release();
        }
        if (dispatch_) dispatch_->Release();
        if (hostWindow_) DestroyWindow(hostWindow_);
        if (oleStarted_) OleUninitialize();
    }

    QWidget* widget() const override { return container_; }
    bool ready() const override { return dispatch_ != nullptr; }
    QString problem() const override { return problem_; }

    void eraseMarks() override { call(kErase, {}); }
    void addMark(int year, int month, int day, int code) override {
        call(kAdd, {static_cast<short>(year), static_cast<short>(month), static_cast<short>(day),
                    static_cast<short>(code)});
    }
    void setActivePlan(int code) override { call(kActive, {static_cast<short>(code)}); }

  protected:
    // The ATL host window follows the size of the widget it sits in.
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == site_ && event->type() == QEvent::Resize && hostWindow_) fitHostWindow();
        return CalendarHost::eventFilter(watched, event);
    }

  private:
    bool create() {
        const std::wstring progId = win32::widened(vorncal::kControlProgId);
        if (QGuiApplication::platformName() != QLatin1String(kWindowsPlatform))
            return fail(QStringLiteral("The calendar control is shown only on the Windows "
                                       "desktop (this window runs on the \"%1\" platform).")
                            .arg(QGuiApplication::platformName()),
                        false);
        oleStarted_ = SUCCEEDED(OleInitialize(nullptr));
        CLSID clsid;
        HRESULT hr = CLSIDFromProgID(progId.c_str(), &clsid);
        if (FAILED(hr))
            return fail(QStringLiteral("The calendar control %1 is not registered on this "
                                       "computer (%2).")
                            .arg(QLatin1String(vorncal::kControlProgId), hresultText(hr)),
                        true);
        AtlHost atl;
        if (!atl.load())
            return fail(QStringLiteral("The system's control host (atl.dll) is missing."), true);
        site_->setAttribute(Qt::WA_NativeWindow);
        const HWND parent = reinterpret_cast<HWND>(site_->winId());
        // The host window class exists once AtlAxWinInit has run in the process; Wine's refuses
        // a second registration, so it is asked for only when the class is missing.
        hostWindow_ = createHostWindow(parent, progId);
        if (!hostWindow_) {
            if (!atl.init())
                return fail(QStringLiteral("The system's control host (atl.dll) could not start."),
                            true);
            hostWindow_ = createHostWindow(parent, progId);
        }
        IUnknown* control = nullptr;
        hr = hostWindow_ ? atl.getControl(hostWindow_, &control) : E_FAIL;
        if (FAILED(hr) || !control)
            return fail(QStringLiteral("The calendar control %1 could not be created (%2).")
                            .arg(QLatin1String(vorncal::kControlProgId), hresultText(hr)),
                        true);
        hr = control->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch_));
        control->Release();
        if (FAILED(hr)) {
            dispatch_ = nullptr;
            return fail(QStringLiteral("The calendar control offers no dispatch interface (%1).")
                            .arg(hresultText(hr)),
                        true);
        }
        for (int m = 0; m < kMethodCount; ++m) {
            LPOLESTR names[] = {const_cast<LPOLESTR>(kMethodNames[static_cast<size_t>(m)])};
            hr = dispatch_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT,
                                          &ids_[static_cast<size_t>(m)]);
            if (FAILED(hr))
                return dropControl(QStringLiteral("The calendar control has no method %1.")
                                       .arg(QString::fromWCharArray(names[0])));
        }
        IConnectionPointContainer* points = nullptr;
        if (SUCCEEDED(dispatch_->QueryInterface(IID_IConnectionPointContainer,
                                                reinterpret_cast<void**>(&points)))) {
            IID eventsIid;
            static_assert(sizeof eventsIid == sizeof vorncal::kDiidEvents);
            std::memcpy(&eventsIid, &vorncal::kDiidEvents, sizeof eventsIid);
            points->FindConnectionPoint(eventsIid, &events_);
            points->Release();
        }
        if (!events_ || FAILED(events_->Advise(&sink_, &cookie_))) {
            if (events_) events_->Release();
            events_ = nullptr;
            return dropControl(
                QStringLiteral("The calendar control offers no events; days cannot be picked."));
        }
        fitHostWindow();
        return true;
    }

    HWND createHostWindow(HWND parent, const std::wstring& progId) const {
        return CreateWindowExW(0, kAtlHostClass, progId.c_str(), WS_CHILD | WS_VISIBLE, 0, 0,
                               site_->width(), site_->height(), parent, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    }

    bool dropControl(const QString& why) {
        dispatch_->Release();
        dispatch_ = nullptr;
        return fail(why, true);
    }

    bool fail(const QString& what, bool reinstall) {
        problem_ = what;
        if (reinstall)
            problem_ += QStringLiteral(
                "\n\nInstall Quirn Radio again (its setup registers the calendar control), or "
                "register it by hand: regsvr32 vorncal.dll in the program's folder. Then open "
                "the Plans window again.");
        return false;
    }

    void fitHostWindow() {
        const qreal ratio = site_->devicePixelRatioF();
        MoveWindow(hostWindow_, 0, 0, static_cast<int>(site_->width() * ratio),
                   static_cast<int>(site_->height() * ratio), TRUE);
    }

    void call(Method method, std::vector<short> args) {
        if (!dispatch_) return;
        std::vector<VARIANTARG> values(args.size());
        for (size_t i = 0; i < args.size(); ++i) {
            VARIANTARG& v = values[args.size() - 1 - i];
            VariantInit(&v);
            v.vt = VT_I2;
            v.iVal = args[i];
        }
        DISPPARAMS params{values.data(), nullptr, static_cast<UINT>(values.size()), 0};
        dispatch_->Invoke(ids_[static_cast<size_t>(method)], IID_NULL, LOCALE_USER_DEFAULT,
                          DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
    }

    void onEvent(DISPID id, const short* args, unsigned count) {
        if (id == vorncal::kEventNewFocusTime && count == 4)
            emit newFocusTime(args[0], args[1], args[2], static_cast<unsigned short>(args[3]));
        else if (id == vorncal::kEventNewLiftTime && count == 3)
            emit newLiftTime(args[0], args[1], args[2]);
    }

    QWidget* container_;
    QWidget* site_ = nullptr;
    ActiveXEventSink sink_;
    HWND hostWindow_ = nullptr;
    IDispatch* dispatch_ = nullptr;
    IConnectionPoint* events_ = nullptr;
    DWORD cookie_ = 0;
    std::array<DISPID, kMethodCount> ids_{};
    bool oleStarted_ = false;
    QString problem_;
};

}  // namespace

std::unique_ptr<CalendarHost> makeCalendarHost(QWidget* parent, const CalendarHostOptions&) {
    return std::make_unique<ActiveXCalendarHost>(parent);
}

}  // namespace quirn::plancalendar
