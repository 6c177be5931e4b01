#pragma once

#include "device/BridgeTransport.h"
#include "device/WindowWarning.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// How one control request or status query went.
struct CommandOutcome {
    // False when the unit could not be opened; nothing was sent then.
    bool unitFound = false;
    TransactionResult transaction = TransactionResult::NotOpen;

    bool Answered() const { return unitFound && transaction == TransactionResult::Ok; }
};

// What the unit made of a command: one outcome per request sent, in sending
// order; none for a key that names no command.
struct ControlReport {
    std::vector<CommandOutcome> requests;

    bool Sent() const { return !requests.empty(); }
    // Sent, and every request got a whole reply.
    bool Answered() const;
    // Some request could not open the unit ("Hardware not found!").
    bool UnitMissing() const;
    // Some request reached the unit but got no valid reply.
    bool Unconfirmed() const;
};

// Control requests (EDID mode, EDID reset) and the start-up status query, each
// in an open/close cycle of its own.
class ControlCommands {
public:
    explicit ControlCommands(BridgeTransport& transport) : transport_(transport) {}

    // Shows "Hardware not found!" when the unit could not be opened.
    CommandOutcome SendControlCommand(std::uint8_t controlAddress, std::uint8_t* reply,
                                      const std::uint8_t* payload, std::uint8_t count,
                                      std::uint8_t payloadLength);
    // The three control requests of a mode key, each sent whatever became of
    // the ones before; nothing is sent for a key that is not a mode key.
    ControlReport SetEDIDMode(const char* key);
    // The request of a reset key; nothing is sent for any other key.
    ControlReport ResetEDID(const char* key);
    // The one-byte status request. When the unit cannot be opened the window
    // is told "Hardware not found".
    CommandOutcome QueryStatus(std::uint8_t* reply, std::uint8_t replyLength,
                               WindowWarning& window);

private:
    BridgeTransport& transport_;
};
