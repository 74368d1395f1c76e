#include "platform/MediaPlayerMessages.h"

#include <cstring>
#include <new>

#include "platform/MediaPlayerInterface.h"

namespace MediaPlayerMessages {

MessagePtr Make(unsigned long signal, long userData) {
    auto* msg = new CQuorMsg(signal);
    msg->m_userData = userData;
    return MessagePtr(msg, [](CQuorMsg* m) {
        ReleaseMessagePayload(*m);
        delete m;
    });
}

void SetPayload(CQuorMsg& msg, void const* bytes, std::size_t size) {
    void* block = ::operator new(size == 0 ? 1 : size);
    if (size != 0) {
        std::memcpy(block, bytes, size);
    }
    if (msg.m_signalPtr != nullptr) {
        ::operator delete(msg.m_signalPtr);
    }
    msg.m_signalPtr = block;
    msg.m_signalSize = static_cast<int>(size);
}

namespace {

void PutBigEndian16(unsigned char* at, uint16_t value) {
    at[0] = static_cast<unsigned char>(value >> 8);
    at[1] = static_cast<unsigned char>(value & 0xff);
}

} // namespace

void SetPosition(CQuorMsg& msg, int64_t milliseconds) {
    SetPayload(msg, &milliseconds, sizeof milliseconds);
}

void SetByteSize(CQuorMsg& msg, int64_t bytes) {
    SetPayload(msg, &bytes, sizeof bytes);
}

void SetNewBaseTime(CQuorMsg& msg, uint32_t timeBase, int64_t positionMs, int32_t durationSeconds) {
    unsigned char bytes[kNewBaseTimeSize];
    std::memcpy(bytes, &timeBase, 4);
    std::memcpy(bytes + 4, &positionMs, 8);
    std::memcpy(bytes + 12, &durationSeconds, 4);
    SetPayload(msg, bytes, sizeof bytes);
}

void SetStreamCounts(CQuorMsg& msg, uint8_t video, uint8_t audio, uint8_t subtitle) {
    unsigned char const bytes[3] = {video, audio, subtitle};
    SetPayload(msg, bytes, sizeof bytes);
}

void SetVideoFormat(CQuorMsg& msg, uint16_t width, uint16_t height, uint16_t aspectNumerator,
                    uint16_t aspectDenominator) {
    unsigned char bytes[kVideoFormatSize] = {};
    PutBigEndian16(bytes + 6, width);
    PutBigEndian16(bytes + 8, height);
    PutBigEndian16(bytes + 14, aspectNumerator);
    PutBigEndian16(bytes + 16, aspectDenominator);
    SetPayload(msg, bytes, sizeof bytes);
}

void SetPlaySpeeds(CQuorMsg& msg, double lowest, double highest) {
    unsigned char bytes[kPlaySpeedsSize];
    std::memcpy(bytes, &lowest, 8);
    std::memcpy(bytes + 8, &highest, 8);
    SetPayload(msg, bytes, sizeof bytes);
}

void SetText(CQuorMsg& msg, std::string const& text) {
    SetPayload(msg, text.c_str(), text.size() + 1);
}

} // namespace MediaPlayerMessages
