#include "ControlCommands.h"

#include "CommandFrames.h"
#include "EdidModes.h"

#include <cstring>

bool ControlCommands::SendControlCommand(std::uint8_t controlAddress, std::uint8_t* reply,
                                         const std::uint8_t* payload, std::uint8_t count,
                                         std::uint8_t payloadLength) {
    const std::vector<std::uint8_t> request =
        frames::ControlRequest(controlAddress, count, payload, payloadLength);
    if (request.empty()) {
        return false;
    }
    if (!transport_.OpenDevice()) {
        transport_.Warning().Show("Hardware not found!");
        return false;
    }
    // The unit's answer to a control request carries nothing the program
    // uses; the transport reports its own failures.
    transport_.DeviceTransaction(transport_.Handle(), reply, request.data(), count,
                                 static_cast<std::uint32_t>(request.size()));
    transport_.CloseDevice();
    return true;
}

bool ControlCommands::SetEDIDMode(const char* key) {
    for (const EdidModeEntry& entry : kEdidModes) {
        if (std::strcmp(key, entry.key) != 0) {
            continue;
        }
        const std::uint8_t payload[] = {kModePayloadMarker, static_cast<std::uint8_t>(entry.mode)};
        std::uint8_t reply[128] = {};
        bool result = false;
        for (std::uint8_t address : kModeControlAddresses) {
            result = SendControlCommand(address, reply, payload, sizeof payload, sizeof payload);
        }
        return result;
    }
    return false;
}

bool ControlCommands::ResetEDID(const char* key) {
    for (const ResetEntry& entry : kEdidResets) {
        if (std::strcmp(key, entry.key) == 0) {
            const std::uint8_t payload[] = {kResetPayload};
            std::uint8_t reply[128] = {};
            return SendControlCommand(entry.controlAddress, reply, payload, 1, sizeof payload);
        }
    }
    return false;
}

bool ControlCommands::QueryStatus(std::uint8_t* reply, std::uint8_t replyLength,
                                  WindowWarning& window) {
    if (!transport_.OpenDevice()) {
        window.ShowWarning("Hardware not found");
        return false;
    }
    const std::uint8_t request[] = {frames::kStatus};
    const bool result = transport_.DeviceTransaction(transport_.Handle(), reply, request,
                                                     replyLength, sizeof request);
    transport_.CloseDevice();
    return result;
}
