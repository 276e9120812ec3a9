#pragma once
#include <cstdint>
#include <string>

namespace quirn {

// Numbering limits: everything is addressed by numbers, not names.
inline constexpr int kMinMasterGroup = 1;
inline constexpr int kMaxMasterGroup = 10;
inline constexpr int kMinGroup = 1;
inline constexpr int kMaxGroup = 99;
inline constexpr int kMinLocation = 1;
inline constexpr int kMaxLocation = 99;
inline constexpr int kMaxStepsPerDayPlan = 16;
inline constexpr int kMaxUserDayPlan = 19;
// Only these day plans have their steps kept in the steps file and fit the time switch's slots.
inline constexpr int kMaxStoredStepsPlan = 9;

// Day plan numbers with fixed meanings.
inline constexpr int kPlanNone = 0;
inline constexpr int kPlanNormal = 1;
inline constexpr int kPlanHoliday = 100;
inline constexpr int kPlanVacation = 101;
inline constexpr int kPlanVacationEnd = 102;  // calendar mark of a vacation's last day
inline constexpr int kPlanOverride = 103;
inline constexpr int kPlanNoneAlt = 105;

// Weekdays are numbered 1 = Sunday .. 7 = Saturday everywhere.
inline constexpr int kSunday = 1;
inline constexpr int kSaturday = 7;

// Size of the raw program read back from (or built for) a time switch.
inline constexpr int kProgramImageSize = 968;
// Offset of the image's closing mark, its last byte.
inline constexpr int kProgramImageEndMark = kProgramImageSize - 1;
// One block of a Strider's activation log, as it answers a 'B' request.
inline constexpr int kActivationLogBlockBytes = 125;

enum class TimeSwitchModel : int32_t { QN510 = 0, MX40 = 1, Strider = 2, LR40 = 3 };

// Short model name ("QN510"); unknown values show as "QN510".
const char* modelShortName(int model);
// Name in lists ("( QN510 )").
std::string modelListName(int model);
inline bool isImageModel(int model) {
    return model == static_cast<int>(TimeSwitchModel::MX40) ||
           model == static_cast<int>(TimeSwitchModel::LR40);
}

// Connection addresses with fixed meanings.
inline constexpr const char* kRadioAddress = "127.0.0.2";    // the paging radio on the serial port
inline constexpr const char* kM2MAddress = "127.0.0.1";      // the M2M client on this computer
inline constexpr const char* kBroadcastAddress = "0.0.0.0";  // every link

// Strider time code: 0..9, anything else stored as 0.
inline int normaliseStriderCode(int code) {
    return code >= 0 && code <= 9 ? code : 0;
}
// "15 seconds" .. "90 seconds"; unknown codes show as "15 seconds".
const char* striderCodeText(int code);

}  // namespace quirn
