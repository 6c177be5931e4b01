#pragma once

#include "device/BridgeTransport.h"
#include "device/EdidModes.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// How one control request or status query went.
struct CommandOutcome {
    // Not Opened: nothing was sent.
    OpenOutcome open;
    TransactionOutcome transaction{TransactionResult::NotOpen, kBridgeSuccess};

    bool UnitFound() const { return open.Opened(); }
    bool Answered() const { return UnitFound() && transaction.Ok(); }
};

// What the unit made of a command: one outcome per request sent, in sending
// order.
struct ControlReport {
    std::vector<CommandOutcome> requests;

    bool Sent() const { return !requests.empty(); }
    // Sent, and every request got a whole reply.
    bool Answered() const;
    // Some request could not open the unit.
    bool UnitMissing() const;
    // Some request reached the unit but got no valid reply.
    bool Unconfirmed() const;
};

// Control requests (EDID mode, EDID reset) and the start-up status query, each
// in an open/close cycle of its own.
class ControlCommands {
public:
    explicit ControlCommands(BridgeTransport& transport) : transport_(transport) {}

    // Fires CommandUnitNotFound when the unit could not be opened.
    CommandOutcome SendControlCommand(std::uint8_t controlAddress, std::uint8_t* reply,
                                      const std::uint8_t* payload, std::uint8_t count,
                                      std::uint8_t payloadLength);
    // The three control requests of a mode, each sent whatever became of the
    // ones before.
    ControlReport SetEDIDMode(EdidMode mode);
    ControlReport ResetEDID(EdidReset reset);
    // The one-byte status request; the caller words a unit that could not
    // be opened.
    CommandOutcome QueryStatus(std::uint8_t* reply, std::uint8_t replyLength);

private:
    BridgeTransport& transport_;
};
