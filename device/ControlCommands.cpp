#include "device/ControlCommands.h"

#include "device/CommandFrames.h"

#include <algorithm>

bool ControlReport::Answered() const {
    return Sent() && std::all_of(requests.begin(), requests.end(),
                                 [](const CommandOutcome& request) { return request.Answered(); });
}

bool ControlReport::UnitMissing() const {
    return std::any_of(requests.begin(), requests.end(),
                       [](const CommandOutcome& request) { return !request.UnitFound(); });
}

bool ControlReport::Unconfirmed() const {
    return std::any_of(requests.begin(), requests.end(), [](const CommandOutcome& request) {
        return request.UnitFound() && !request.Answered();
    });
}

CommandOutcome ControlCommands::SendControlCommand(std::uint8_t controlAddress, std::uint8_t* reply,
                                                   const std::uint8_t* payload, std::uint8_t count,
                                                   std::uint8_t payloadLength) {
    const std::vector<std::uint8_t> request =
        frames::ControlRequest(controlAddress, count, payload, payloadLength);
    CommandOutcome outcome;
    outcome.open = transport_.OpenDevice();
    if (!outcome.open.Opened()) {
        transport_.Events().OnTransportEvent(TransportEvent::CommandUnitNotFound, kBridgeSuccess);
        return outcome;
    }
    // The reply's bytes carry nothing the program uses; that it came whole is
    // what tells that the unit took the command.
    outcome.transaction =
        transport_.DeviceTransaction(transport_.Handle(), reply, request.data(), count,
                                     static_cast<std::uint32_t>(request.size()));
    transport_.CloseDevice();
    return outcome;
}

ControlReport ControlCommands::SetEDIDMode(EdidMode mode) {
    ControlReport report;
    const std::uint8_t payload[] = {kModePayloadMarker, static_cast<std::uint8_t>(mode)};
    std::uint8_t reply[128] = {};
    for (std::uint8_t address : kModeControlAddresses) {
        report.requests.push_back(
            SendControlCommand(address, reply, payload, sizeof payload, sizeof payload));
    }
    return report;
}

ControlReport ControlCommands::ResetEDID(EdidReset reset) {
    ControlReport report;
    const std::uint8_t payload[] = {kResetPayload};
    std::uint8_t reply[128] = {};
    report.requests.push_back(
        SendControlCommand(static_cast<std::uint8_t>(reset), reply, payload, 1, sizeof payload));
    return report;
}

CommandOutcome ControlCommands::QueryStatus(std::uint8_t* reply, std::uint8_t replyLength) {
    CommandOutcome outcome;
    outcome.open = transport_.OpenDevice();
    if (!outcome.open.Opened()) {
        return outcome;
    }
    const std::uint8_t request[] = {frames::kStatus};
    outcome.transaction = transport_.DeviceTransaction(transport_.Handle(), reply, request,
                                                       replyLength, sizeof request);
    transport_.CloseDevice();
    return outcome;
}
