#include "device/ControlCommands.h"

#include "device/CommandFrames.h"
#include "device/EdidModes.h"

#include <algorithm>
#include <cstring>

bool ControlReport::Answered() const {
    return Sent() && std::all_of(requests.begin(), requests.end(),
                                 [](const CommandOutcome& request) { return request.Answered(); });
}

bool ControlReport::UnitMissing() const {
    return std::any_of(requests.begin(), requests.end(),
                       [](const CommandOutcome& request) { return !request.unitFound; });
}

bool ControlReport::Unconfirmed() const {
    return std::any_of(requests.begin(), requests.end(), [](const CommandOutcome& request) {
        return request.unitFound && !request.Answered();
    });
}

CommandOutcome ControlCommands::SendControlCommand(std::uint8_t controlAddress, std::uint8_t* reply,
                                                   const std::uint8_t* payload, std::uint8_t count,
                                                   std::uint8_t payloadLength) {
    const std::vector<std::uint8_t> request =
        frames::ControlRequest(controlAddress, count, payload, payloadLength);
    CommandOutcome outcome;
    if (!transport_.OpenDevice()) {
        transport_.Warning().Show("Hardware not found!");
        return outcome;
    }
    outcome.unitFound = true;
    // The reply's bytes carry nothing the program uses; that it came whole is
    // what tells that the unit took the command.
    outcome.transaction =
        transport_.DeviceTransaction(transport_.Handle(), reply, request.data(), count,
                                     static_cast<std::uint32_t>(request.size()));
    transport_.CloseDevice();
    return outcome;
}

ControlReport ControlCommands::SetEDIDMode(const char* key) {
    ControlReport report;
    for (const EdidModeEntry& entry : kEdidModes) {
        if (std::strcmp(key, entry.key) != 0) {
            continue;
        }
        const std::uint8_t payload[] = {kModePayloadMarker, static_cast<std::uint8_t>(entry.mode)};
        std::uint8_t reply[128] = {};
        for (std::uint8_t address : kModeControlAddresses) {
            report.requests.push_back(
                SendControlCommand(address, reply, payload, sizeof payload, sizeof payload));
        }
        break;
    }
    return report;
}

ControlReport ControlCommands::ResetEDID(const char* key) {
    ControlReport report;
    for (const ResetEntry& entry : kEdidResets) {
        if (std::strcmp(key, entry.key) == 0) {
            const std::uint8_t payload[] = {kResetPayload};
            std::uint8_t reply[128] = {};
            report.requests.push_back(
                SendControlCommand(entry.controlAddress, reply, payload, 1, sizeof payload));
        }
    }
    return report;
}

CommandOutcome ControlCommands::QueryStatus(std::uint8_t* reply, std::uint8_t replyLength,
                                            WindowWarning& window) {
    CommandOutcome outcome;
    if (!transport_.OpenDevice()) {
        window.ShowWarning("Hardware not found");
        return outcome;
    }
    outcome.unitFound = true;
    const std::uint8_t request[] = {frames::kStatus};
    outcome.transaction = transport_.DeviceTransaction(transport_.Handle(), reply, request,
                                                       replyLength, sizeof request);
    transport_.CloseDevice();
    return outcome;
}
