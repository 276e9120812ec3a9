// The calendar host where the control is our own module (libvorncal): loaded by its file and
// reached only through its four entry points, created by its class factory, driven through
// IDispatch, heard through its connection point, and placed by the QWidget its IControlWindow
// hands out.
#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

#include "calendar/com/ComPtr.h"
#include "calendar/com/Registration.h"
#include "calendar/com/RegistryFile.h"
#include "calendar/com/VornCalendarTypeLib.h"
#include "calendar/view/ControlLoader.h"
#include "plancalendar/ui/CalendarHost.h"
#include "plancalendar/ui/HostProblemLabel.h"
#include "plancalendar/ui/ModuleEventSink.h"
#include "platform/FileSystem.h"

namespace quirn::plancalendar {

namespace {

using namespace quirn::com;
using vorncal::kControlProgId;

// The class the ProgID names in the registry, else the control's own.
Guid controlClass() {
    return vorncal::classFromProgId(defaultRegistryPath(), kControlProgId)
        .value_or(vorncal::kClsidControl);
}

// The path given; else the registered module; else the one installed beside the program; else
// the system's search path.
std::string findModule(const CalendarHostOptions& options) {
    if (!options.modulePath.empty()) return options.modulePath;
    const std::optional<std::string> registered =
        vorncal::registeredModule(defaultRegistryPath(), controlClass());
    if (registered && fileExists(*registered)) return *registered;
    const QFileInfo beside(QCoreApplication::applicationDirPath() + "/../lib/" +
                           QString::fromLatin1(vorncal::controlModuleFileName()));
    if (beside.exists()) return beside.canonicalFilePath().toStdString();
    return vorncal::controlModuleFileName();
}

class ModuleCalendarHost final : public CalendarHost {
  public:
    ModuleCalendarHost(QWidget* parent, const CalendarHostOptions& options)
        : container_(new QWidget(parent)), sink_(*this) {
        container_->setObjectName(QStringLiteral("calendarHost"));
        auto* layout = new QVBoxLayout(container_);
        layout->setContentsMargins(0, 0, 0, 0);
        QWidget* control = create(options);
        if (control)
            layout->addWidget(control);
        else
            layout->addWidget(makeHostProblemLabel(problem_, container_));
    }

    ~ModuleCalendarHost() override {
        if (events_) events_->Unadvise(cookie_);
        events_.reset();
        // The control deletes its window with its last reference.
        control_.reset();
    }

    QWidget* widget() const override { return container_; }
    bool ready() const override { return static_cast<bool>(control_); }
    QString problem() const override { return problem_; }

    void eraseMarks() override { call(vorncal::kDispEraseDayPlans, {}); }
    void addMark(int year, int month, int day, int code) override {
        call(vorncal::kDispAddDayPlan,
             {static_cast<std::int16_t>(year), static_cast<std::int16_t>(month),
              static_cast<std::int16_t>(day), static_cast<std::int16_t>(code)});
    }
    void setActivePlan(int code) override {
        call(vorncal::kDispSetActivePlan, {static_cast<std::int16_t>(code)});
    }

    void fireFocus(int year, int month, int day, int keys) {
        emit newFocusTime(year, month, day, keys);
    }
    void fireLift(int year, int month, int day) { emit newLiftTime(year, month, day); }

  private:
    // The control's window, or nullptr with problem_ saying why.
    QWidget* create(const CalendarHostOptions& options) {
        const std::string path = findModule(options);
        std::string error;
        if (!module_.load(path, error)) {
            fail(QStringLiteral("The calendar control could not be loaded from %1: %2.")
                     .arg(QString::fromStdString(path), QString::fromStdString(error)));
            return nullptr;
        }
        ComPtr<IDispatch> control;
        HResult hr = kOk;
        if (options.clock) {
            ComPtr<IClockClassFactory> factory;
            hr = module_.getClassObject(controlClass(), kIidClockClassFactory, factory.out());
            if (succeeded(hr))
                hr = factory->CreateInstanceWithClock(options.clock, kIidDispatch, control.out());
        } else {
            ComPtr<IClassFactory> factory;
            hr = module_.getClassObject(controlClass(), kIidClassFactory, factory.out());
            if (succeeded(hr)) hr = factory->CreateInstance(nullptr, kIidDispatch, control.out());
        }
        ComPtr<IControlWindow> window;
        void* widget = nullptr;
        if (succeeded(hr)) hr = control->QueryInterface(kIidControlWindow, window.out());
        if (succeeded(hr)) hr = window->GetWindow(&widget);
        if (failed(hr) || !widget) {
            fail(QStringLiteral("The calendar control in %1 could not be created (%2).")
                     .arg(QString::fromStdString(path), QString::fromStdString(hresultText(hr))));
            return nullptr;
        }
        ComPtr<IConnectionPointContainer> points;
        if (succeeded(control->QueryInterface(kIidConnectionPointContainer, points.out())))
            points->FindConnectionPoint(vorncal::kDiidEvents, events_.address());
        if (!events_ || failed(events_->Advise(&sink_, &cookie_))) {
            events_.reset();
            fail(QStringLiteral("The calendar control in %1 offers no events; days cannot be "
                                "picked on it.")
                     .arg(QString::fromStdString(path)));
            return nullptr;
        }
        control_ = std::move(control);
        auto* controlWidget = static_cast<QWidget*>(widget);
        controlWidget->setObjectName(QStringLiteral("calendarControl"));
        return controlWidget;
    }

    void fail(const QString& what) {
        problem_ =
            what + QStringLiteral(
                       "\n\nInstall the calendar control with Quirn Radio (libvorncal.so) and "
                       "register it (vorncal-view --register), then open the Plans window again.");
    }

    void call(DispId id, std::initializer_list<std::int16_t> args) {
        if (control_)
            control_->Invoke(id, {std::data(args), static_cast<std::uint32_t>(args.size())});
    }

    QWidget* container_;
    vorncal::ControlModule module_;
    ModuleEventSink<ModuleCalendarHost> sink_;
    ComPtr<IDispatch> control_;
    ComPtr<IConnectionPoint> events_;
    std::uint32_t cookie_ = 0;
    QString problem_;
};

}  // namespace

std::unique_ptr<CalendarHost> makeCalendarHost(QWidget* parent,
                                               const CalendarHostOptions& options) {
    return std::make_unique<ModuleCalendarHost>(parent, options);
}

}  // namespace quirn::plancalendar
