#pragma once
#include <QDialog>

#include "app/MainWindowHost.h"

class QLabel;

namespace quirn {

class StationApp;

// The main window until the loader window takes its place: a dialog captioned as the loader,
// run modally for the whole life of the program.
class PlaceholderMainWindow final : public QDialog, public MainWindowHost {
    Q_OBJECT
public:
    static constexpr const char* kCaption = "Quirn 4 Loader";
    explicit PlaceholderMainWindow(StationApp& app);
    void runModal() override { exec(); }
    void comeForward() override;

private:
    StationApp& app_;
    QLabel* status_;
};

}  // namespace quirn
