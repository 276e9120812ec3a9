#pragma once

namespace quirn {

// The main window as the application object sees it: shown modally for the whole run, and
// brought to the front when a second copy of the program starts.
class MainWindowHost {
  public:
    virtual ~MainWindowHost() = default;
    // Runs the window modally; returns when the operator closes it.
    virtual void runModal() = 0;
    virtual void comeForward() = 0;
};

}  // namespace quirn
