#pragma once
#include <QDialog>
#include <cstddef>
#include <optional>
#include <vector>

#include "fleetsend/SendSelection.h"

class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTableView;
class QTimer;

namespace quirn {

class FleetSend;
class SendOutcomeModel;
class ValidationRun;

// "Send programming": chooses what to send (the caller's preset, all locations, or those
// changed since last sent), plans it and shows the estimate for the technician to confirm,
// shows the send's progress with Stop, then the outcome of every group and location and the
// summary; "Validate these" reads back the locations that were sent and shows the run's
// result beside the send's. It draws the station's send and forwards the buttons; the send
// goes on when the window closes (a plan not confirmed is dropped).
class SendProgrammingDialog final : public QDialog {
    Q_OBJECT

  public:
    static constexpr int kRefreshMs = 250;

    // `run` may be null (no "Validate these"). A preset of all locations or of those changed
    // adds no choice of its own.
    SendProgrammingDialog(FleetSend& send, ValidationRun* run, SendSelection preset,
                          QWidget* parent = nullptr);
    ~SendProgrammingDialog() override;

    // The selection the choice names now.
    SendSelection chosen() const;
    // Plans the chosen selection again (dropping a plan not confirmed).
    void plan();
    // Draws the send and the run as they stand now (the window's timer also calls it).
    void redraw();
    SendOutcomeModel& outcome() { return *outcome_; }

  private:
    void sendConfirmed();
    void cancelPlan();
    void validateSent();
    void drawSend();
    void drawRun();

    FleetSend& send_;
    ValidationRun* run_;
    std::vector<SendSelection> choices_;
    // Whether the send's plan is the one this window made or showed from the start (another
    // window may have planned since).
    bool ownsSend() const;

    // The plan this window made or showed; nothing while it has none.
    std::optional<std::size_t> ownPlan_;
    // Whether this window started the run shown.
    bool ownRun_ = false;
    // What the state line says while this window has no send to show.
    QString idleNote_;
    QComboBox* choice_ = nullptr;
    QLabel* state_ = nullptr;
    QLabel* estimate_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* current_ = nullptr;
    QPushButton* plan_ = nullptr;
    QPushButton* confirm_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* stop_ = nullptr;
    QPushButton* validate_ = nullptr;
    SendOutcomeModel* outcome_ = nullptr;
    QTableView* table_ = nullptr;
    QLabel* summary_ = nullptr;
    QProgressBar* runProgress_ = nullptr;
    QLabel* runState_ = nullptr;
    QLabel* runSummary_ = nullptr;
    QTimer* refresh_ = nullptr;
};

// Opens the window over `parent` (not modal: the station goes on); it deletes itself when
// closed. Returns the window.
SendProgrammingDialog* openSendProgrammingDialog(FleetSend& send, ValidationRun* run,
                                                 SendSelection preset, QWidget* parent);

}  // namespace quirn
