#pragma once

#include "BridgeTransport.h"
#include "WindowWarning.h"

#include <cstddef>
#include <cstdint>

// Control requests (EDID mode, EDID reset) and the start-up status query, each
// in an open/close cycle of its own.
class ControlCommands {
public:
    explicit ControlCommands(BridgeTransport& transport) : transport_(transport) {}

    // False only when the unit could not be opened ("Hardware not found!").
    bool SendControlCommand(std::uint8_t controlAddress, std::uint8_t* reply,
                            const std::uint8_t* payload, std::uint8_t count,
                            std::uint8_t payloadLength);
    // False for a key that is not a mode key; otherwise the result of the last
    // of the three control requests.
    bool SetEDIDMode(const char* key);
    // False for a key that is not a reset key; otherwise the request's result.
    bool ResetEDID(const char* key);
    // The one-byte status request. False when the unit could not be opened
    // ("Hardware not found" in the window) or the transaction failed.
    bool QueryStatus(std::uint8_t* reply, std::uint8_t replyLength, WindowWarning& window);

private:
    BridgeTransport& transport_;
};
