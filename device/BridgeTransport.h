#pragma once

#include "BridgeLibrary.h"
#include "Clock.h"
#include "NativeWarning.h"

#include <cstdint>

// Finds the TALVO among the attached bridge devices, opens it, runs one
// request/reply exchange at a time and closes it again. Every operation that
// talks to the unit opens it, runs its transactions and closes it before it
// returns, so no device stays open between two user actions.
class BridgeTransport {
public:
    static constexpr const char* kUnitSerial = "2022";
    static constexpr std::uint32_t kReplyTimeoutMs = 1000;
    static constexpr std::uint32_t kCloseWaitMs = 100;

    BridgeTransport(BridgeLibrary& library, Clock& clock, NativeWarning& warning);

    // True when the unit was found, opened and flushed; the handle is then
    // open. On false everything opened on the way is closed again.
    bool OpenDevice();
    // Always waits kCloseWaitMs first, also with no device open.
    void CloseDevice();
    // Sends the request and reads the reply once its first byte has arrived.
    // False when nothing was sent, the write, a queue check or the read
    // failed, the reply did not start within kReplyTimeoutMs, or it came
    // short; the reply buffer is then not to be used.
    bool DeviceTransaction(DeviceHandle* handle, std::uint8_t* reply, const std::uint8_t* request,
                           std::uint32_t replyLength, std::uint32_t requestLength);
    bool GetSerialString(std::uint32_t index, char* buffer);

    DeviceHandle* Handle() { return &handle_; }
    Clock& GetClock() { return clock_; }
    NativeWarning& Warning() { return warning_; }

private:
    bool FindUnit(std::uint32_t* index);
    void CloseHandleIfOpen();

    BridgeLibrary& library_;
    Clock& clock_;
    NativeWarning& warning_;
    DeviceHandle handle_ = kNoDevice;
};
