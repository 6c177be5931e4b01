#pragma once

#include "device/BridgeLibrary.h"
#include "device/Clock.h"
#include "device/TransportEvents.h"

#include <cstdint>
#include <string>
#include <vector>

// How one request/reply exchange ended. The transport fires its own event
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

// A transaction's result, with the library's status of the call that failed
// (kBridgeSuccess where none did: Ok, NotOpen, TimedOut, ShortReply).
struct TransactionOutcome {
    TransactionResult result = TransactionResult::Ok;
    BridgeStatus status = kBridgeSuccess;

    bool Ok() const { return result == TransactionResult::Ok; }
};

// The step at which opening the unit stopped.
enum class OpenStep {
    Opened,        // none: the unit is open
    Count,         // the device count query failed
    NoUnit,        // no attached device has the unit's serial string
    SerialString,  // no unit found, and some device's serial string could not be had
    ProductString, // the unit's product string query failed
    Open,          // the open failed
    Flush,         // the flush failed; the unit was closed again
};

struct OpenOutcome {
    OpenStep step = OpenStep::Opened;
    // The library's status of the failing call; kBridgeSuccess for Opened
    // and NoUnit.
    BridgeStatus status = kBridgeSuccess;

    bool Opened() const { return step == OpenStep::Opened; }
};

// One attached bridge device as the library reports it.
struct BridgeDevice {
    std::uint32_t index = 0;
    std::string serial;
    std::string product;
    // The library's status of the serial string query.
    BridgeStatus serialStatus = kBridgeSuccess;
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
    BridgeTransport(BridgeLibrary& library, Clock& clock, TransportEvents& events,
                    std::uint32_t unitNumber = 0);

    // Opened when the unit was found, opened and flushed; the handle is then
    // open. Otherwise everything opened on the way is closed again.
    OpenOutcome OpenDevice();
    // Always waits kCloseWaitMs first, also with no device open.
    void CloseDevice();
    // Sends the request and reads the reply once its first byte has arrived.
    // Anything but Ok leaves the reply buffer as it was.
    TransactionOutcome DeviceTransaction(DeviceHandle* handle, std::uint8_t* reply,
                                         const std::uint8_t* request, std::uint32_t replyLength,
                                         std::uint32_t requestLength);
    // The library's status; SerialStringFailed is fired on a failure.
    BridgeStatus GetSerialString(std::uint32_t index, char* buffer);
    // From now on the unit is the one attached at this link (see
    // UnitLinks.h), wherever it stands in the list, so that a transport can
    // stay with one unit of several while others come and go.
    void SelectLink(const std::string& link) { link_ = link; }
    // Every attached bridge device, in the library's order; the library's
    // status of the device count, which lists nothing unless it succeeded. A
    // device whose serial string cannot be had is listed without it.
    BridgeStatus ListDevices(std::vector<BridgeDevice>* devices);

    DeviceHandle* Handle() { return &handle_; }
    Clock& GetClock() { return clock_; }
    TransportEvents& Events() { return events_; }

private:
    OpenOutcome FindUnit(std::uint32_t* index);
    TransactionOutcome WaitForReply(DeviceHandle handle);
    void CloseHandleIfOpen();

    BridgeLibrary& library_;
    Clock& clock_;
    TransportEvents& events_;
    std::uint32_t unitNumber_;
    DeviceHandle handle_ = kNoDevice;
    std::string link_;
};
