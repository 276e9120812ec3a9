// vorncal-view: a small host of the VornCalendarIII control. It loads the control module through
// its entry points, shows one group's annual plans the way the plan dialog does (erase, one mark
// per day, then the active plan), and prints every event the control fires.
#include <QApplication>
#include <QFileInfo>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QVBoxLayout>
#include <QWidget>
#include <cstdio>
#include <memory>

#include "calendar/CalendarPainter.h"
#include "calendar/KeyState.h"
#include "calendar/com/ComPtr.h"
#include "calendar/com/Registration.h"
#include "calendar/com/RegistryFile.h"
#include "calendar/com/VornCalendarTypeLib.h"
#include "calendar/view/ClickPoint.h"
#include "calendar/view/ControlLoader.h"
#include "calendar/view/DayPlanCsv.h"
#include "calendar/view/EventPrinter.h"
#include "calendar/view/Picture.h"
#include "calendar/view/ViewOptions.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/LocalTime.h"
#include "platform/WorkingFolder.h"

using namespace quirn;
using namespace quirn::com;
using namespace quirn::vorncal;

namespace {

constexpr const char* kDayPlanFile = "dayplan.csv";
constexpr int kNoonHour = 12;

// The class a ProgID names in the registry, else the control's own.
Guid controlClass() {
    return classFromProgId(defaultRegistryPath(), kControlProgId).value_or(kClsidControl);
}

// --library; else the registered module (unless registering); else the one built beside this
// program; else the system's search path.
std::string findModule(const ViewOptions& options, bool useRegistry) {
    if (!options.library.empty()) return options.library;
    if (useRegistry) {
        std::optional<std::string> registered =
            registeredModule(defaultRegistryPath(), controlClass());
        if (registered && fileExists(*registered)) return *registered;
    }
    const QFileInfo beside(QCoreApplication::applicationDirPath() + "/../lib/" +
                           QString::fromLatin1(controlModuleFileName()));
    if (beside.exists()) return beside.canonicalFilePath().toStdString();
    return controlModuleFileName();
}

int selfRegister(const ControlModule& module, bool unregister) {
    const HResult hr = unregister ? module.unregisterServer() : module.registerServer();
    std::printf("%s: %s (registry %s)\n", unregister ? kDllUnregisterServer : kDllRegisterServer,
                hresultText(hr).c_str(), defaultRegistryPath().c_str());
    return succeeded(hr) ? 0 : 1;
}

HResult invoke(IDispatch& control, DispId id, std::initializer_list<std::int16_t> args) {
    return control.Invoke(id, {std::data(args), static_cast<std::uint32_t>(args.size())});
}

// The host's part of the plan dialog: marks of the group, then the active plan (which paints).
void showMarks(IDispatch& control, const std::vector<DayMark>& marks, int activePlan) {
    invoke(control, kDispEraseDayPlans, {});
    for (const DayMark& m : marks)
        invoke(control, kDispAddDayPlan,
               {static_cast<std::int16_t>(m.year), static_cast<std::int16_t>(m.month),
                static_cast<std::int16_t>(m.day), m.planCode});
    invoke(control, kDispSetActivePlan, {static_cast<std::int16_t>(activePlan)});
}

// The size of "X" in the control's painting font on its widget, as the control measures it.
calendar::TextSize fontX(const QWidget& widget) {
    QFont font;
    font.setPointSizeF(calendar::kFontTenthsOfPoint / 10.0);
    const QFontMetrics metrics(font, &widget);
    return {metrics.horizontalAdvance(QStringLiteral("X")), metrics.height()};
}

Qt::KeyboardModifiers modifiersOf(int keys) {
    Qt::KeyboardModifiers modifiers;
    if (keys & calendar::kKeyShift) modifiers |= Qt::ShiftModifier;
    if (keys & calendar::kKeyControl) modifiers |= Qt::ControlModifier;
    return modifiers;
}

// Presses and releases the left button on the control, as the window system would deliver them.
bool click(QWidget& control, const ClickRequest& request, int keys, std::time_t today) {
    std::optional<calendar::Point> at =
        clickPoint(request, today, {0, 0, control.width(), control.height()}, fontX(control));
    if (!at) {
        std::fprintf(stderr, "vorncal-view: the click's month is not on the control\n");
        return false;
    }
    const QPointF local(at->x, at->y), global = control.mapToGlobal(local);
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                      modifiersOf(keys));
    QApplication::sendEvent(&control, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                        modifiersOf(keys));
    QApplication::sendEvent(&control, &release);
    std::fprintf(stderr, "vorncal-view: clicked at %d,%d\n", at->x, at->y);
    return true;
}

// The control alone, as a PPM picture; the line printed tells a comparison its font's "X".
bool savePicture(QWidget& control, const std::string& path) {
    const QImage image = control.grab().toImage().convertToFormat(QImage::Format_RGB888);
    Picture picture;
    picture.width = image.width();
    picture.height = image.height();
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = image.constScanLine(y);
        picture.rgb.insert(picture.rgb.end(), row, row + static_cast<size_t>(image.width()) * 3);
    }
    if (!writePpm(path, picture)) {
        std::fprintf(stderr, "vorncal-view: cannot write %s\n", path.c_str());
        return false;
    }
    const calendar::TextSize x = fontX(control);
    std::fprintf(stderr, "vorncal-view: picture %s %dx%d X=%dx%d\n", path.c_str(), picture.width,
                 picture.height, x.width, x.height);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    // Options come first, so that mistakes, help and registration need no screen. Qt's own
    // options are not taken; its environment variables (QT_QPA_PLATFORM...) are.
    std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    std::string error;
    std::optional<ViewOptions> parsed = parseViewOptions(args, error);
    if (!parsed) {
        std::fprintf(stderr, "vorncal-view: %s\n%s", error.c_str(), kViewUsage);
        return 2;
    }
    const bool windowless = parsed->help || parsed->registerServer || parsed->unregisterServer;
    // A screenshot or a picture needs no screen: without one it is drawn off-screen.
    if ((!parsed->screenshot.empty() || !parsed->picture.empty()) &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QCoreApplication> app;
    if (windowless)
        app = std::make_unique<QCoreApplication>(argc, argv);
    else
        app = std::make_unique<QApplication>(argc, argv);

    const ViewOptions& options = *parsed;
    if (options.help) {
        std::printf("%s", kViewUsage);
        return 0;
    }

    const bool selfRegistration = options.registerServer || options.unregisterServer;
    const std::string modulePath = findModule(options, !selfRegistration);
    ControlModule module;
    if (!module.load(modulePath, error)) {
        std::fprintf(stderr, "vorncal-view: cannot load %s: %s\n", modulePath.c_str(),
                     error.c_str());
        return 1;
    }
    std::fprintf(stderr, "vorncal-view: control module %s\n", modulePath.c_str());
    if (selfRegistration) return selfRegister(module, options.unregisterServer);

    const WorkingFolder root =
        options.root.empty() ? defaultWorkingFolder() : WorkingFolder(options.root);
    const std::string csvPath = root.file(kDayPlanFile);
    const std::optional<std::string> file = readWholeFile(csvPath);
    if (!file) std::fprintf(stderr, "vorncal-view: cannot read %s; no marks\n", csvPath.c_str());
    const std::string csv = file.value_or(std::string());
    const GroupId group = options.group.value_or(firstGroup(csv).value_or(GroupId{}));
    const std::vector<DayMark> marks = groupDayMarks(csv, group);
    std::fprintf(stderr, "vorncal-view: %s, master group %d, group %d: %zu marks\n",
                 csvPath.c_str(), group.masterGroup, group.group, marks.size());

    std::unique_ptr<Clock> clock;
    if (options.today)
        clock = std::make_unique<ManualClock>(
            fromLocal(options.today->year, options.today->month, options.today->day, kNoonHour));
    else
        clock = std::make_unique<SystemClock>();

    QWidget window;
    window.setWindowTitle(QStringLiteral("VornCalendarIII - master group %1, group %2")
                              .arg(group.masterGroup)
                              .arg(group.group));
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(new QLabel(QStringLiteral("Annual plans of master group %1, group %2")
                                     .arg(group.masterGroup)
                                     .arg(group.group),
                                 &window));

    EventPrinter printer(stdout);
    int rc = 0;
    {
        ComPtr<IClockClassFactory> factory;
        ComPtr<IDispatch> control;
        HResult hr = module.getClassObject(controlClass(), kIidClockClassFactory, factory.out());
        if (succeeded(hr))
            hr = factory->CreateInstanceWithClock(clock.get(), kIidDispatch, control.out());
        ComPtr<IControlWindow> windowOf;
        void* widget = nullptr;
        if (succeeded(hr)) hr = control->QueryInterface(kIidControlWindow, windowOf.out());
        if (succeeded(hr)) hr = windowOf->GetWindow(&widget);
        if (failed(hr)) {
            std::fprintf(stderr, "vorncal-view: cannot create the control: %s\n",
                         hresultText(hr).c_str());
            return 1;
        }
        ComPtr<IConnectionPointContainer> container;
        ComPtr<IConnectionPoint> events;
        std::uint32_t cookie = 0;
        if (succeeded(control->QueryInterface(kIidConnectionPointContainer, container.out())))
            container->FindConnectionPoint(kDiidEvents, events.address());
        if (events) events->Advise(&printer, &cookie);

        layout->addWidget(static_cast<QWidget*>(widget), 1);
        // Pressing and pictures want the control at the very size the Windows host gives it.
        if (!options.clicks.empty() || !options.picture.empty())
            static_cast<QWidget*>(widget)->setFixedSize(options.width, options.height);
        else
            window.resize(options.width, options.height);
        showMarks(*control.get(), marks, options.activePlan);
        window.show();

        auto* controlWidget = static_cast<QWidget*>(widget);
        if (!options.clicks.empty() || !options.picture.empty()) {
            QApplication::processEvents();
            for (const ClickRequest& request : options.clicks)
                if (!click(*controlWidget, request, options.keys, clock->now())) rc = 1;
            if (!options.picture.empty() && !savePicture(*controlWidget, options.picture)) rc = 1;
        } else if (!options.screenshot.empty()) {
            QApplication::processEvents();
            if (!window.grab().save(QString::fromStdString(options.screenshot), "PNG")) {
                std::fprintf(stderr, "vorncal-view: cannot write %s\n", options.screenshot.c_str());
                rc = 1;
            }
        } else {
            rc = QApplication::exec();
        }
        if (events) events->Unadvise(cookie);
    }
    return rc;
}
