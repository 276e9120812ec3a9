#pragma once
#include <array>
#include <optional>

namespace quirn {

// The kind of time switch attached to the station's serial port, as the loader's four type
// buttons choose it. Type 0 speaks the paged commands and answers with the QN510 memory;
// types 1 to 3 take the BCD commands and the 968-byte program image.
enum class AttachedType : int { Qn510 = 0, Mx40 = 1, Mx40WithLr40 = 2, Qn510WithLr40 = 3 };

struct AttachedTypeInfo {
    AttachedType type;
    const char* button;
    // The station port is set to this rate (and it is stored) when the type is chosen;
    // nothing when the choice leaves the rate alone.
    std::optional<int> portRate;
};

inline constexpr std::array<AttachedTypeInfo, 4> kAttachedTypes{{
    {AttachedType::Qn510, "QN510", 2400},
    {AttachedType::Mx40, "MX40", 2400},
    {AttachedType::Mx40WithLr40, "MX40 ( W LR40 )", std::nullopt},
    {AttachedType::Qn510WithLr40, "QN510  ( W LR40 )", std::nullopt},
}};

// The type for a stored number; anything outside 0..3 reads as the QN510.
inline AttachedType attachedTypeFromInt(int value) {
    return value >= 0 && value < static_cast<int>(kAttachedTypes.size())
               ? static_cast<AttachedType>(value)
               : AttachedType::Qn510;
}

inline const AttachedTypeInfo& attachedTypeInfo(AttachedType type) {
    return kAttachedTypes[static_cast<std::size_t>(type)];
}

// Paged commands and the QN510 read-back; every other type uses the program image.
inline bool usesPagedCommands(AttachedType type) {
    return type == AttachedType::Qn510;
}

}  // namespace quirn
