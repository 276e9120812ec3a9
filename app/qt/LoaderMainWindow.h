#pragma once
#include <QObject>
#include <memory>

#include "app/MainWindowHost.h"
#include "loader/LoaderSettings.h"
#include "loader/LoaderStack.h"
#include "loader/ui/LoaderWindow.h"
#include "loader/ui/QtLoaderPrompts.h"

class QTimer;

namespace quirn {

class StationApp;

// The station's main window: the "Quirn 4 Loader" window over the application's members,
// run modally for the whole life of the program. It also comes to the front when a second
// copy of the program asks.
class LoaderMainWindow final : public MainWindowHost {
  public:
    explicit LoaderMainWindow(StationApp& app);
    ~LoaderMainWindow() override;
    void runModal() override;
    void comeForward() override;
    // Ends the window as its close box does, for a request to end from outside (a signal, the
    // end of the session): a dialog open above it (a question, the utilities, the time tests)
    // is left as if cancelled, so nothing holds the station's shutdown.
    void endForShutdown();
    LoaderWindow& window() { return *window_; }
    // F1: the documentation with the version, working folder and COM map above it.
    void showHelp();

  private:
    StationApp& app_;
    LoaderSettings settings_;
    LoaderStack stack_;
    QtLoaderPrompts prompts_;
    std::unique_ptr<LoaderWindow> window_;
    QTimer* comeForwardPoll_;
};

}  // namespace quirn
