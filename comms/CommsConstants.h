#pragma once
#include <cstddef>

// kMessageBufferSize, the size of every message buffer (queued messages, a link's transmit and
// receive buffers, one broadcast batch), is the protocol's.
#include "plans/PlanTypes.h"
#include "protocol/MessageFrame.h"

namespace quirn {

// The most the radio takes in one direct write from the queue.
inline constexpr std::size_t kRadioWriteLimit = 999;
// The TCP port of WiFi time switches and the M2M client unless the profile says otherwise.
inline constexpr unsigned kDefaultIpPort = 2001;
// Size of a program image read back from an MX40 or LR40; answered with kAcknowledge.
inline constexpr std::size_t kAcknowledgedImageSize = kProgramImageSize;
inline constexpr unsigned char kAcknowledge = 'K';
// One block of a Strider activation log.
inline constexpr std::size_t kActivationLogBlockSize = kActivationLogBlockBytes;
// Milliseconds between two service ticks of the communications handler.
inline constexpr int kTickPeriodMs = 500;

}  // namespace quirn
