#pragma once

#include "device/BridgeLibrary.h"
#include "device/Clock.h"
#include "device/NativeWarning.h"

#include <cstdint>
#include <string>
#include <vector>

// How one request/reply exchange ended. The transport shows its own warning
// where it has one; the words for the user are the front ends'.
enum class TransactionResult {
    Ok,
    NotOpen,          // no device open: nothing was sent
    SendFailed,       // the request could not be written
    QueueCheckFailed, // a receive-queue check failed during the wait
    TimedOut,         // no reply byte within kReplyTimeoutMs
    ReadFailed,       // the reply could not be read
    ShortReply,       // fewer bytes came than asked for
};

// One attached bridge device as the library reports it.
struct BridgeDevice {
    std::uint32_t index = 0;
    std::string serial;
    std::string product;
    // Its serial string is the unit's.
    bool isUnit = false;
};

// Finds the TALVO among the attached bridge devices, opens it, runs one
// request/reply exchange at a time and closes it again. Every operation that
// talks to the unit opens it, runs its transactions and closes it before it
// returns, so no device stays open between two user actions.
class BridgeTransport {
public:
    static constexpr const char* kUnitSerial = "2022";
    static constexpr std::uint32_t kReplyTimeoutMs = 1000;
    static constexpr std::uint32_t kCloseWaitMs = 100;
    // The reply wait checks the queue back to back for its first millisecond,
    // where the unit's answer usually is, then naps between checks so that a
    // slow or lost answer does not keep a processor core busy.
    static constexpr std::uint32_t kBusyPollMs = 1;
    static constexpr std::uint32_t kPollNapMs = 1;

    // The unit is the unitNumber-th attached bridge device, counted from 0,
    // whose serial string is kUnitSerial.
    BridgeTransport(BridgeLibrary& library, Clock& clock, NativeWarning& warning,
                    std::uint32_t unitNumber = 0);

    // True when the unit was found, opened and flushed; the handle is then
    // open. On false everything opened on the way is closed again.
    bool OpenDevice();
    // Always waits kCloseWaitMs first, also with no device open.
    void CloseDevice();
    // Sends the request and reads the reply once its first byte has arrived.
    // Anything but Ok leaves the reply buffer as it was.
    TransactionResult DeviceTransaction(DeviceHandle* handle, std::uint8_t* reply,
                                        const std::uint8_t* request, std::uint32_t replyLength,
                                        std::uint32_t requestLength);
    bool GetSerialString(std::uint32_t index, char* buffer);
    // From now on the unit is the one attached at this link (see
    // UnitLinks.h), wherever it stands in the list, so that a transport can
    // stay with one unit of several while others come and go.
    void SelectLink(const std::string& link) { link_ = link; }
    // Every attached bridge device, in the library's order; false when the
    // library cannot count them. A device whose serial string cannot be had
    // is listed without it.
    bool ListDevices(std::vector<BridgeDevice>* devices);

    DeviceHandle* Handle() { return &handle_; }
    Clock& GetClock() { return clock_; }
    NativeWarning& Warning() { return warning_; }

private:
    bool FindUnit(std::uint32_t* index);
    TransactionResult WaitForReply(DeviceHandle handle);
    void CloseHandleIfOpen();

    BridgeLibrary& library_;
    Clock& clock_;
    NativeWarning& warning_;
    std::uint32_t unitNumber_;
    DeviceHandle handle_ = kNoDevice;
    std::string link_;
};
