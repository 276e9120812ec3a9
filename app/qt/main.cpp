#include <QApplication>

#include "app/StationApp.h"
#include "app/qt/LoaderMainWindow.h"
#include "app/qt/QtTimerService.h"
#include "platform/Clock.h"

int main(int argc, char** argv) {
    QApplication qtApp(argc, argv);
    quirn::SystemClock clock;
    quirn::QtTimerService timers;
    quirn::StationApp app(clock, timers);
    if (!app.startUp()) return 0;  // another copy runs and was asked to come forward
    {
        quirn::LoaderMainWindow window(app);
        app.runMainWindow(window);
    }
    app.shutDown();
    return 0;
}
