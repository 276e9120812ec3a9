#pragma once
#include <string>
#include <vector>

#include "loader/AttachedType.h"
#include "loader/BaudChange.h"
#include "loader/PortChoiceList.h"
#include "platform/SerialDeviceList.h"
#include "platform/TimerService.h"

namespace quirn {

class LoaderPort;
class LoaderSettings;
class LoaderView;

// The logic of the utilities dialog: choosing and verifying the serial port, the agency's
// master groups, and the line rate of the station port and of the attached time switch. The
// dialog draws what this controller says and forwards its buttons here; a 500 ms tick moves
// the baud change.
class UtilitiesController {
  public:
    static constexpr int kTickMs = 500;

    // Which buttons the dialog enables.
    struct Buttons {
        bool verifyPort = false;
        bool switchTo2400 = false;
        bool switchTo4800 = false;
        bool pcTo2400 = false;
        bool pcTo4800 = false;
        friend bool operator==(const Buttons&, const Buttons&) = default;
    };
    // Why each baud button is disabled; empty for an enabled one.
    struct ButtonReasons {
        std::string switchBaud;  // both "Change BAUD to ..." buttons
        std::string pcTo2400;
        std::string pcTo4800;
    };

    // The serial devices offered are those present under `deviceFolder`.
    UtilitiesController(TimerService& timers, LoaderPort& port, LoaderSettings& settings,
                        LoaderView& view, AttachedType type,
                        std::string deviceFolder = kDeviceFolder);
    ~UtilitiesController();
    UtilitiesController(const UtilitiesController&) = delete;
    UtilitiesController& operator=(const UtilitiesController&) = delete;

    // Reads the configured rate and port, fills the port list and starts the tick.
    void open();
    // Asks before dropping an unverified port choice; true when the dialog may close, which
    // it then does: a running baud change is cancelled (the port back at its configured rate)
    // and said so, the tick stops.
    bool requestClose();
    void close();
    bool isOpen() const { return timer_ != TimerService::kNoTimer; }
    void tick();

    // Serial port choice: the texts of the list (see makePortChoices).
    const std::vector<std::string>& portChoices() const { return portTexts_; }
    int selectedPortIndex() const { return selectedPort_; }
    void choosePort(int index);
    // A device path typed by the technician (a pseudo-terminal, an adapter's name): chosen for
    // the configured COM number (COM 1 when the port is disabled). The text of a list entry
    // chooses that entry.
    void typeDevicePath(const std::string& text);
    bool portChangeUnverified() const { return unverified_; }
    // Opens the chosen port, stores it (and a new device in the profile's "Serial" section)
    // when it works, and says how it went; a device that does not open leaves the mapping as
    // it was.
    void verifyPort();

    // Master groups (the agency's switch and the current master group).
    bool masterGroupsEnabled() const;
    void setMasterGroupsEnabled(bool on);
    std::vector<std::string> masterGroupChoices() const;
    // 1..10.
    int currentMasterGroup() const;
    void chooseMasterGroup(int masterGroup);

    // "Change PC BAUD to ...": the station port's rate, stored as the configured rate.
    void changePcBaud(int baud);
    // "Change BAUD to ...": asks, and on Yes starts the change of the attached time switch.
    void changeSwitchBaud(int baud);

    // Texts and buttons.
    static const char* versionText();
    std::string portStatusText() const;
    std::string rateText() const;
    Buttons buttons() const;
    ButtonReasons buttonReasons() const;
    int configuredBaud() const { return configuredBaud_; }
    const BaudChange& baudChange() const { return baudChange_; }

  private:
    const PortChoice* chosen() const;
    void fillPortList();
    int targetCom() const;
    bool openChosen(const PortChoice& choice);
    void finishBaudChange();
    void notify();

    TimerService& timers_;
    LoaderPort& port_;
    LoaderSettings& settings_;
    LoaderView& view_;
    AttachedType type_;
    BaudChange baudChange_;
    TimerService::TimerId timer_ = TimerService::kNoTimer;
    int configuredBaud_ = 0;
    std::string deviceFolder_;
    std::vector<PortChoice> portList_;
    std::vector<std::string> portTexts_;
    int selectedPort_ = 0;
    bool unverified_ = false;
};

}  // namespace quirn
