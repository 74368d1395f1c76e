#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "runtime/CQuorMsg.h"
#include "util/QuorExport.h"

// Builders of the media player service's messages and their payloads. A
// payload is a plain operator new block that the message owns.
//
// Layouts (byte offsets, integers in the processor's order unless noted):
//   position response       0-7 signed 64-bit milliseconds
//   byte size response      0-7 signed 64-bit bytes
//   new time base           0-3 time base number, 4-11 signed 64-bit position
//                           in ms, 12-15 signed 32-bit duration in seconds
//   stream counts           0 video, 1 audio, 2 subtitle (8 bits each)
//   video format            6-7 width, 8-9 height, 14-15 and 16-17 aspect
//                           ratio; 16 bits each, high byte first; 20 bytes
//   play speeds             0-7 lowest, 8-15 highest (doubles)
//   texts                   NUL-terminated
namespace MediaPlayerMessages {

// A heap message that releases its payload when the last reference goes.
using MessagePtr = std::shared_ptr<CQuorMsg>;
QUOR_EXPORT MessagePtr Make(unsigned long signal, long userData = 0);

// Gives msg a copy of size bytes (releasing a payload it held).
QUOR_EXPORT void SetPayload(CQuorMsg& msg, void const* bytes, std::size_t size);

QUOR_EXPORT void SetPosition(CQuorMsg& msg, int64_t milliseconds);
QUOR_EXPORT void SetByteSize(CQuorMsg& msg, int64_t bytes);
QUOR_EXPORT void SetNewBaseTime(CQuorMsg& msg, uint32_t timeBase, int64_t positionMs,
                                int32_t durationSeconds);
QUOR_EXPORT void SetStreamCounts(CQuorMsg& msg, uint8_t video, uint8_t audio, uint8_t subtitle);
QUOR_EXPORT void SetVideoFormat(CQuorMsg& msg, uint16_t width, uint16_t height,
                                uint16_t aspectNumerator, uint16_t aspectDenominator);
QUOR_EXPORT void SetPlaySpeeds(CQuorMsg& msg, double lowest, double highest);
QUOR_EXPORT void SetText(CQuorMsg& msg, std::string const& text);

constexpr std::size_t kNewBaseTimeSize = 16;
constexpr std::size_t kVideoFormatSize = 20;
constexpr std::size_t kPlaySpeedsSize = 16;

} // namespace MediaPlayerMessages
