#pragma once
#include <QWidget>

namespace quirn {
class ValidationRun;
}

class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTimer;

namespace quirn {

// Chooses a selection, starts and stops the station's validation run and shows its progress,
// counts by outcome and end summary. It draws the run and forwards the buttons; a window that
// hosts it (the dialog, the Fleet window) gives it the station's run.
class ValidationRunPanel final : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kRefreshMs = 500;

    ValidationRunPanel(ValidationRun& run, QWidget* parent = nullptr);
    // Draws the run as it stands now (the panel's timer also calls it).
    void redraw();

  private:
    void start();
    void showScopeFields();

    ValidationRun& run_;
    QComboBox* scope_ = nullptr;
    QSpinBox* masterGroup_ = nullptr;
    QSpinBox* group_ = nullptr;
    QPushButton* start_ = nullptr;
    QPushButton* stop_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* state_ = nullptr;
    QLabel* current_ = nullptr;
    QLabel* counts_ = nullptr;
    QLabel* summary_ = nullptr;
    QTimer* refresh_ = nullptr;
};

}  // namespace quirn
