#pragma once
#include <QDialog>

namespace quirn {

class ValidationRun;
class ValidationRunPanel;

// "Validation run": the run panel in a window of its own, opened from the loader. Closing it
// leaves a run going; the station's run carries on and ends by itself.
class ValidationRunDialog final : public QDialog {
    Q_OBJECT

  public:
    explicit ValidationRunDialog(ValidationRun& run, QWidget* parent = nullptr);
    ValidationRunPanel& panel() { return *panel_; }

  private:
    ValidationRunPanel* panel_;
};

}  // namespace quirn
