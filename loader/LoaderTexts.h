#pragma once

namespace quirn::loader_text {

// Texts of the loader window and its utilities dialog, exactly as the technician sees them.

// Loader window.
inline constexpr const char* kLoaderTitle = "Quirn 4 Loader";
inline constexpr const char* kNoClockData = "No Clock Data Read Yet";
inline constexpr const char* kReadingData = "Reading Data %d of 7 seconds";
inline constexpr const char* kWritingStart = "Writing Data Start.";
inline constexpr const char* kWritingData = "Writing Data %d of 7 seconds";
inline constexpr const char* kQn510ReadFailed = "Quirn Clock Read FAILED %s";
inline constexpr const char* kQn510Computer = "Computer Time %s";
inline constexpr const char* kImageReadFailed = "MX40 Clock Read FAILED %s";
inline constexpr const char* kImageComputer = "Computer %s";
// The computer's time in the lines above.
inline constexpr const char* kComputerTimeFormat = "%H:%M %A, %B %d, %Y.";
// The time switch's clock; its seconds follow the full stop after the minutes.
inline constexpr const char* kClockLineFormat = "Clock Data read at %H:%M.%S %A, %B %d, %Y.";
// A QN510 reports no date and no seconds: its hour, minute and weekday alone.
inline constexpr const char* kQn510ClockLine = "Clock Data read at %02d:%02d %s.";
inline constexpr const char* kPortErrorLine =
    "Serial Port Error.  Select new port or plug USB device in.";
inline constexpr const char* kPortUnavailable =
    "The serial port is not available.  If it is a USB device plug it back in and try again. ";
inline constexpr const char* kTypeHeading = "Time Switch Type ";
inline constexpr const char* kGroupsAvailable = "Groups Available";
inline constexpr const char* kAttachedSwitch = "Attached Time Switch";
inline constexpr const char* kReadButton = "Read ";
inline constexpr const char* kWriteButton = "Write";
inline constexpr const char* kManualOnButton = "Manual ON";
inline constexpr const char* kManualOffButton = "Manual OFF";
inline constexpr const char* kSendTimeButton = "Send Time";
inline constexpr const char* kUtilitiesButton = "Utilities";
inline constexpr const char* kVornTimeButton = "VORN TIME";
inline constexpr const char* kPlansButton = "Plans\u2026";
inline constexpr const char* kValidateButton = "Validate\u2026";
inline constexpr const char* kFleetButton = "Fleet\u2026";
inline constexpr const char* kDoneButton = "Done";
// What a button did, so the technician never wonders whether anything happened.
inline constexpr const char* kNoGroupSelected =
    "No group is selected.  Select the group in \"Groups Available\" first.";
// Said once the last byte has left the serial port; the time is what the switch takes.
inline constexpr const char* kProgramSent = "Program sent to group %s; time %s sent to %s.";
inline constexpr const char* kProgramImageSent =
    "Program sent to group %s, with the switch clock set to %s.";
inline constexpr const char* kManualOnSent = "Manual ON sent to group %s.";
inline constexpr const char* kManualOffSent = "Manual OFF sent to group %s.";
inline constexpr const char* kTimeSent = "Time %s sent to %s.";
// A group the plan check found faults in: marked in the list, and Write asks before it sends.
inline constexpr const char* kGroupFindingsMark = "  [%d plan finding%s]";
inline constexpr const char* kWriteFindingOne =
    "The database files hold %s with %d plan finding, a line the station reads otherwise "
    "than it says:";
inline constexpr const char* kWriteFindingsMany =
    "The database files hold %s with %d plan findings, lines the station reads otherwise "
    "than they say:";
inline constexpr const char* kWriteFindingsMore =
    "... and %d more, all listed in LogFiles\\Plan_Check.txt.";
inline constexpr const char* kWriteFindingsAsk =
    "The switch gets the programming as the station read it. Write it anyway?";
inline constexpr const char* kWriteNotSentForFindings =
    "Nothing sent: mend the plan findings of group %s first, or answer Yes to write it as read.";
// What a message is called while it waits for the port or when the port gave it up.
inline constexpr const char* kProgramForGroup = "Program for group %s";
inline constexpr const char* kManualForGroup = "Manual %s for group %s";
inline constexpr const char* kTimeForEveryone = "Time %s for %s";
inline constexpr const char* kSendWaiting = "%s: %d bytes still wait for the serial port.";
inline constexpr const char* kSendGivenUp =
    "%s was given up: %d bytes had not left the serial port after %d minutes.  Check the "
    "port in Utilities and send it again.";
inline constexpr const char* kEverySwitch = "every switch";
inline constexpr const char* kEverySwitchOfMasterGroups = "every switch of master groups %s";
// A QN510's time is its weekday, hour and minute; the other types take the full date.
inline constexpr const char* kPagedTimeFormat = "%02d:%02d %s";
inline constexpr const char* kFullTimeFormat = "%H:%M:%S %A, %B %d, %Y";
// Why a button does nothing now (its tooltip while it is disabled).
inline constexpr const char* kBusyReading =
    "Reading the time switch: wait until the 7 seconds are over.";
inline constexpr const char* kBusyWriting =
    "Writing the time switch: wait until the 7 seconds are over.";
inline constexpr const char* kBusySending =
    "The serial port is still sending the last message (%d bytes wait).  Wait until it has "
    "gone, or check the port in Utilities.";
// A group of a master group, where the agency has several.
inline constexpr const char* kGroupOfMasterGroup = "%s (master group %d)";
// Takes the place of the relay line of the last read once the relay was switched by hand.
inline constexpr const char* kRelayAfterManual =
    "Relay status not known: Manual %s was sent after the read.  Read again to see it.";
// The result item of the "Attached Time Switch" tree, then the group it was compared with.
inline constexpr const char* kProgramMatches = "Program matches the group.";
inline constexpr const char* kProgramDiffers = "Program differs from the group.";
inline constexpr const char* kProgramMatchesClockWrong =
    "Program matches the group, but the switch clock is wrong.";
inline constexpr const char* kProgramDiffersClockWrong =
    "Program differs from the group, and the switch clock is wrong.";
// How far the switch's clock was from the computer's when it answered.
inline constexpr const char* kSwitchClockOffset = "Switch clock %s.";
inline constexpr const char* kClocksAgreeToTheSecond = "agrees with the computer's to the second";
inline constexpr const char* kClocksAgreeToTheMinute = "agrees with the computer's to the minute";
inline constexpr const char* kSwitchClockUnusable = "Switch clock holds no valid time.";
inline constexpr const char* kComparedWith = " Compared with %s.";
// Esc is easy to hit by accident; the station ends with the loader.
inline constexpr const char* kAskEndStation =
    "Close the loader and end the station?  Paging stops until the station is started again.";

// Utilities dialog.
inline constexpr const char* kUtilitiesTitle = "Utilities";
inline constexpr const char* kVersion = "Version 1.62 B1";
inline constexpr const char* kCommPortBox = "Comm Port";
inline constexpr const char* kVerifyPortButton = "Verify Comm Port";
inline constexpr const char* kMasterGroupBox = "Master Group && City Code";
inline constexpr const char* kSwitchBaudBox = "Change Time Switch Baud";
inline constexpr const char* kPortSetupOk = "Comm port setup correctly.";
inline constexpr const char* kPortDisabled =
    "The com port is disabled.  You must select a valid com port for Quirn4Loader to work.";
inline constexpr const char* kPortMissing =
    "The com port you selected is not available, or does not exist on your computer.  Make "
    "another selection.";
inline constexpr const char* kUnverifiedExit =
    "You have made changes to the comm port, but have not verified it.  Are you sure you want "
    "to exit ignoring these changes?";
inline constexpr const char* kPortNotSetup = "PC Comm Port NOT Setup.";
inline constexpr const char* kPortSetupBaud = "PC Comm Port Setup. Baud = %d";
inline constexpr const char* kBaudRate = "Baud Rate = %d";
inline constexpr const char* kChangeBaud2400 = "Change BAUD to 2400";
inline constexpr const char* kChangeBaud4800 = "Change BAUD to 4800";
inline constexpr const char* kChangePcBaud2400 = "Change PC BAUD to 2400";
inline constexpr const char* kChangePcBaud4800 = "Change PC BAUD to 4800";
inline constexpr const char* kPcBaudChanged = "Baud rate changed to %d for PC.";
inline constexpr const char* kAskBaudChange =
    "Would you like to change the baud rate in the connected time switch to %d?";
inline constexpr const char* kChangingBaud = "Changing the BAUD rate to %d.  Please Wait...";
inline constexpr const char* kSettingUp = "Setting Up.";
inline constexpr const char* kStepOf = "Step %d of 5";
inline constexpr const char* kBaudChanged = "Baud rate changed to %d in attached time switch.";
inline constexpr const char* kBaudFailure =
    "Baud rate change FAILURE.  Please check cabling and try again.";
// What the port list and the baud change add, so that nothing is left to guess.
inline constexpr const char* kDeviceOfCom = "COM %d is %s.";
inline constexpr const char* kOfferPcBaud =
    "The time switch now talks at %d baud.  Change the PC to the same rate?";
inline constexpr const char* kBaudChangeCancelled =
    "The baud rate change was cancelled.  The PC port is back at %d baud; the time switch may "
    "be at either rate.";
// A COM entry whose device is not on this computer now (an unplugged adapter).
inline constexpr const char* kDeviceAbsent = "  (not present)";
// Why a baud button is disabled (its tooltip).
inline constexpr const char* kWhyBaudChangeRunning = "A baud rate change is running.";
inline constexpr const char* kWhyNoPort =
    "The PC port is not set up: choose a port and verify it first.";
inline constexpr const char* kWhyFixedRate =
    "The %s talks at 2400 baud only: choose a \"( W LR40 )\" type in the loader to change "
    "rates.";
inline constexpr const char* kWhyPcAtRate = "The PC port is already at %d baud.";
inline constexpr const char* kEnableMasterGroups = "Enable Master Groups / City Code";

}  // namespace quirn::loader_text
