#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <vector>

#include "QtTestApp.h"
#include "calendar/CalendarModel.h"
#include "calendar/KeyState.h"
#include "calendar/com/ComPtr.h"
#include "calendar/com/VornCalendarTypeLib.h"
#include "calendar/view/ControlLoader.h"
#include "platform/Clock.h"
#include "platform/LocalTime.h"
#include "tests/support/TempFolder.h"

namespace quirn::vorncal {
namespace {

using namespace quirn::com;
using calendar::test::blankPointOfDay;
using calendar::test::centreOfDay;

// A host's event sink that keeps what it is told.
class RecordingSink final : public IDispatch {
  public:
    HResult QueryInterface(const Guid& iid, void** out) override {
        if (iid == kIidUnknown || iid == kIidDispatch || iid == kDiidEvents) {
            *out = static_cast<IDispatch*>(this);
            AddRef();
            return kOk;
        }
        *out = nullptr;
        return kNoInterface;
    }
    std::uint32_t AddRef() override { return ++refs; }
    std::uint32_t Release() override { return --refs; }
    HResult GetIDsOfNames(const char*, DispId*) override { return kNotImplemented; }
    HResult Invoke(DispId id, const DispParams& params) override {
        events.push_back({id, std::vector<int>(params.args, params.args + params.count)});
        return kOk;
    }

    std::uint32_t refs = 0;
    std::vector<std::pair<DispId, std::vector<int>>> events;
};

HResult call(IDispatch* control, DispId id, std::initializer_list<std::int16_t> args) {
    return control->Invoke(id, {std::data(args), static_cast<std::uint32_t>(args.size())});
}

// The model a control of the same clock and size lays out, for computing where to click.
calendar::CalendarModel layoutLike(QWidget& widget, std::time_t today,
                                   calendar::DisplayState& state) {
    calendar::CalendarModel model(today, state);
    QFont font;
    font.setPointSizeF(7);
    const QFontMetrics metrics(font, &widget);
    model.layout({0, 0, widget.width(), widget.height()},
                 {metrics.horizontalAdvance("X"), metrics.height()});
    return model;
}

class ModuleObjectsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(module.load(VORNCAL_MODULE_PATH, error)) << error;
        ASSERT_EQ(module.canUnloadNow(), kOk) << "no object of the module lives yet";
    }
    // A control made through the module's factory with the test's clock.
    ComPtr<IDispatch> makeControl() {
        ComPtr<IClockClassFactory> factory;
        EXPECT_EQ(module.getClassObject(kClsidControl, kIidClockClassFactory, factory.out()), kOk);
        ComPtr<IDispatch> control;
        EXPECT_EQ(factory->CreateInstanceWithClock(&clock, kIidDispatch, control.out()), kOk);
        return control;
    }
    QWidget* windowOf(IDispatch* control) {
        ComPtr<IControlWindow> window;
        EXPECT_EQ(control->QueryInterface(kIidControlWindow, window.out()), kOk);
        void* widget = nullptr;
        EXPECT_EQ(window->GetWindow(&widget), kOk);
        return static_cast<QWidget*>(widget);
    }

    ControlModule module;
    ManualClock clock{fromLocal(2025, 3, 14, 10, 30)};
};

TEST_F(ModuleObjectsTest, UnknownClassesAndInterfacesAreRefused) {
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(module.getClassObject(kLibId, kIidClassFactory, &out), kClassNotAvailable);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(module.getClassObject(kClsidControl, kIidDispatch, &out), kNoInterface);
    EXPECT_EQ(module.getClassObject(kClsidPropPage, kIidClockClassFactory, &out), kNoInterface);
    EXPECT_EQ(module.canUnloadNow(), kOk);
}

TEST_F(ModuleObjectsTest, CanUnloadNowIsFalseWhileAControlOrFactoryOrLockLives) {
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(module.getClassObject(kClsidControl, kIidClassFactory, factory.out()), kOk);
    EXPECT_EQ(module.canUnloadNow(), kFalse);
    ComPtr<IDispatch> control;
    ASSERT_EQ(factory->CreateInstance(nullptr, kIidDispatch, control.out()), kOk);
    EXPECT_EQ(factory->LockServer(true), kOk);
    factory.reset();
    EXPECT_EQ(module.canUnloadNow(), kFalse) << "the control lives";
    control.reset();
    EXPECT_EQ(module.canUnloadNow(), kFalse) << "the lock holds";
    ASSERT_EQ(module.getClassObject(kClsidControl, kIidClassFactory, factory.out()), kOk);
    EXPECT_EQ(factory->LockServer(false), kOk);
    factory.reset();
    EXPECT_EQ(module.canUnloadNow(), kOk);
}

TEST_F(ModuleObjectsTest, FactoryRefusesAggregation) {
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(module.getClassObject(kClsidControl, kIidClassFactory, factory.out()), kOk);
    ComPtr<IDispatch> control;
    RecordingSink outer;
    EXPECT_EQ(factory->CreateInstance(&outer, kIidDispatch, control.out()), kNoAggregation);
    EXPECT_FALSE(control);
}

TEST_F(ModuleObjectsTest, DispatchByIdAndName) {
    ComPtr<IDispatch> control = makeControl();
    ASSERT_TRUE(control);
    DispId id = 0;
    EXPECT_EQ(control->GetIDsOfNames("AddDayPlan", &id), kOk);
    EXPECT_EQ(id, 3);
    EXPECT_EQ(control->GetIDsOfNames("seTaCtivePlan", &id), kOk);
    EXPECT_EQ(id, 2);
    EXPECT_EQ(control->GetIDsOfNames("EraseDayPlans", &id), kOk);
    EXPECT_EQ(id, 1);
    EXPECT_EQ(control->GetIDsOfNames("AboutBox", &id), kOk);
    EXPECT_EQ(id, -552);
    EXPECT_EQ(control->GetIDsOfNames("Refresh", &id), kUnknownName);
    EXPECT_EQ(call(control.get(), 4, {}), kMemberNotFound);
    EXPECT_EQ(call(control.get(), kDispAddDayPlan, {2025, 4, 2}), kBadParamCount);
    EXPECT_EQ(call(control.get(), kDispSetActivePlan, {}), kBadParamCount);
    EXPECT_EQ(control->Invoke(kDispSetActivePlan, {nullptr, 1}), kPointerError);
    EXPECT_EQ(call(control.get(), kDispEraseDayPlans, {}), kOk);
}

TEST_F(ModuleObjectsTest, ControlWindowIsTheRunTimeClass) {
    ComPtr<IDispatch> control = makeControl();
    QWidget* widget = windowOf(control.get());
    ASSERT_NE(widget, nullptr);
    EXPECT_STREQ(widget->metaObject()->className(), "CVornCalendarIIICtrl");
}

TEST_F(ModuleObjectsTest, EventsReachAnAdvisedSinkUntilUnadvised) {
    ComPtr<IDispatch> control = makeControl();
    ComPtr<IConnectionPointContainer> container;
    ASSERT_EQ(control->QueryInterface(kIidConnectionPointContainer, container.out()), kOk);
    ComPtr<IConnectionPoint> point;
    EXPECT_EQ(container->FindConnectionPoint(kDiidDispatch, point.address()), kNoConnection);
    ASSERT_EQ(container->FindConnectionPoint(kDiidEvents, point.address()), kOk);
    Guid iid;
    EXPECT_EQ(point->GetConnectionInterface(&iid), kOk);
    EXPECT_EQ(iid, kDiidEvents);

    RecordingSink sink;
    std::uint32_t cookie = 0;
    ASSERT_EQ(point->Advise(&sink, &cookie), kOk);
    EXPECT_EQ(sink.refs, 1u);

    QWidget* widget = windowOf(control.get());
    widget->resize(720, 840);
    widget->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(widget));
    widget->grab();
    calendar::DisplayState state;
    const calendar::CalendarModel model = layoutLike(*widget, clock.now(), state);

    QTest::mousePress(widget, Qt::LeftButton, Qt::ControlModifier, centreOfDay(model, 1, 2));
    QTest::mouseRelease(widget, Qt::LeftButton, Qt::ControlModifier, centreOfDay(model, 1, 2));
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, centreOfDay(model, 0, 13));
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, centreOfDay(model, 0, 14));
    using Event = std::pair<DispId, std::vector<int>>;
    EXPECT_EQ(sink.events,
              (std::vector<Event>{{kEventNewFocusTime,
                                   {2025, 4, 2, calendar::kKeyLeftButton | calendar::kKeyControl}},
                                  {kEventNewLiftTime, {2025, 4, 2}},
                                  {kEventNewFocusTime, {2025, 3, 14, calendar::kKeyLeftButton}},
                                  {kEventNewLiftTime, {2025, 3, 14}}}));

    EXPECT_EQ(point->Unadvise(cookie), kOk);
    EXPECT_EQ(sink.refs, 0u);
    EXPECT_EQ(point->Unadvise(cookie), kNoConnection);
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, centreOfDay(model, 0, 14));
    EXPECT_EQ(sink.events.size(), 4u);
}

TEST_F(ModuleObjectsTest, ControlReleasesItsSinksWhenItGoes) {
    RecordingSink sink;
    {
        ComPtr<IDispatch> control = makeControl();
        ComPtr<IConnectionPointContainer> container;
        ASSERT_EQ(control->QueryInterface(kIidConnectionPointContainer, container.out()), kOk);
        ComPtr<IConnectionPoint> point;
        ASSERT_EQ(container->FindConnectionPoint(kDiidEvents, point.address()), kOk);
        std::uint32_t cookie = 0;
        ASSERT_EQ(point->Advise(&sink, &cookie), kOk);
    }
    EXPECT_EQ(sink.refs, 0u);
    EXPECT_EQ(module.canUnloadNow(), kOk);
}

TEST_F(ModuleObjectsTest, MarksSetThroughDispatchPaintAndShareTheActivePlan) {
    ComPtr<IDispatch> first = makeControl();
    ComPtr<IDispatch> second = makeControl();
    QWidget* widget = windowOf(second.get());
    widget->resize(720, 840);

    ASSERT_EQ(call(second.get(), kDispEraseDayPlans, {}), kOk);
    ASSERT_EQ(call(second.get(), kDispAddDayPlan, {2025, 4, 2, 6}), kOk);
    ASSERT_EQ(call(second.get(), kDispAddDayPlan, {2025, 4, 3, 7}), kOk);
    // The active plan chosen on one control holds for every control of the module.
    ASSERT_EQ(call(first.get(), kDispSetActivePlan, {6}), kOk);
    quirn::test::TempFolder temp;
    QImage image = calendar::test::grabThroughPng(*widget, temp.path());
    calendar::DisplayState state;
    const calendar::CalendarModel model = layoutLike(*widget, clock.now(), state);
    EXPECT_TRUE(calendar::test::isBlack(image.pixel(blankPointOfDay(model, 1, 2))));
    EXPECT_TRUE(calendar::test::isWhite(image.pixel(blankPointOfDay(model, 1, 3))));

    ASSERT_EQ(call(second.get(), kDispSetActivePlan, {7}), kOk);
    image = calendar::test::grabThroughPng(*widget, temp.path());
    EXPECT_TRUE(calendar::test::isWhite(image.pixel(blankPointOfDay(model, 1, 2))));
    EXPECT_TRUE(calendar::test::isBlack(image.pixel(blankPointOfDay(model, 1, 3))));
}

TEST_F(ModuleObjectsTest, AboutBoxIsModalWithItsCaptionAndText) {
    ComPtr<IDispatch> control = makeControl();
    QString caption, text;
    QTimer::singleShot(0, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        caption = modal->windowTitle();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) text = box->text();
        modal->close();
    });
    EXPECT_EQ(call(control.get(), kDispAboutBox, {}), kOk);
    EXPECT_EQ(caption, "About VornCalendarIII Control");
    EXPECT_EQ(text, "VornCalendarIII Control, Version 1.0");
}

TEST_F(ModuleObjectsTest, PropertyPageIsGeneral) {
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(module.getClassObject(kClsidPropPage, kIidClassFactory, factory.out()), kOk);
    ComPtr<IPropertyPage> page;
    ASSERT_EQ(factory->CreateInstance(nullptr, kIidPropertyPage, page.out()), kOk);
    const char* title = nullptr;
    ASSERT_EQ(page->GetTitle(&title), kOk);
    EXPECT_STREQ(title, "General");
    ComPtr<IControlWindow> window;
    ASSERT_EQ(page->QueryInterface(kIidControlWindow, window.out()), kOk);
    void* widget = nullptr;
    ASSERT_EQ(window->GetWindow(&widget), kOk);
    auto* pageWidget = static_cast<QWidget*>(widget);
    EXPECT_STREQ(pageWidget->metaObject()->className(), "CVornCalendarIIIPropPage");
    EXPECT_EQ(pageWidget->findChildren<QLabel*>().size(), 1);
    EXPECT_EQ(module.canUnloadNow(), kFalse);
    page.reset();
    window.reset();
    factory.reset();
    EXPECT_EQ(module.canUnloadNow(), kOk);
}

// A host that lets go of the control while it is told of a press: the control goes at once,
// its window once the press is over.
class ReleasingSink final : public IDispatch {
  public:
    HResult QueryInterface(const Guid&, void** out) override {
        *out = nullptr;
        return kNoInterface;
    }
    std::uint32_t AddRef() override { return 1; }
    std::uint32_t Release() override { return 1; }
    HResult GetIDsOfNames(const char*, DispId*) override { return kNotImplemented; }
    HResult Invoke(DispId, const DispParams&) override {
        ++calls;
        control.reset();
        return kOk;
    }

    ComPtr<IDispatch> control;
    int calls = 0;
};

TEST_F(ModuleObjectsTest, SinkReleasingTheControlInsideAnEventIsSafe) {
    ReleasingSink sink;
    sink.control = makeControl();
    QWidget* widget = windowOf(sink.control.get());
    {
        ComPtr<IConnectionPointContainer> container;
        ASSERT_EQ(sink.control->QueryInterface(kIidConnectionPointContainer, container.out()), kOk);
        ComPtr<IConnectionPoint> point;
        ASSERT_EQ(container->FindConnectionPoint(kDiidEvents, point.address()), kOk);
        std::uint32_t cookie = 0;
        ASSERT_EQ(point->Advise(&sink, &cookie), kOk);
    }
    widget->resize(720, 840);
    widget->grab();
    calendar::DisplayState state;
    const calendar::CalendarModel model = layoutLike(*widget, clock.now(), state);
    QPointer<QWidget> watch(widget);
    QTest::mousePress(widget, Qt::LeftButton, Qt::NoModifier, centreOfDay(model, 0, 20));
    EXPECT_EQ(sink.calls, 1);
    EXPECT_FALSE(sink.control);
    EXPECT_FALSE(watch.isNull()) << "the window outlives its own event handler";
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(watch.isNull());
    EXPECT_EQ(module.canUnloadNow(), kOk);
}

TEST_F(ModuleObjectsTest, WidgetDeletedByTheHostsWindowLeavesAControlThatRefusesCalls) {
    ComPtr<IDispatch> control = makeControl();
    {
        QWidget host;
        windowOf(control.get())->setParent(&host);
    }
    EXPECT_EQ(call(control.get(), kDispEraseDayPlans, {}), kUnexpected);
    void* widget = reinterpret_cast<void*>(1);
    ComPtr<IControlWindow> window;
    ASSERT_EQ(control->QueryInterface(kIidControlWindow, window.out()), kOk);
    EXPECT_EQ(window->GetWindow(&widget), kUnexpected);
    EXPECT_EQ(widget, nullptr);
}

}  // namespace
}  // namespace quirn::vorncal
