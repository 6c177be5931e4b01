#pragma once

#include "device/BridgeLoadFailure.h"
#include "device/BridgeTransport.h"
#include "device/EdidModes.h"
#include "device/UsbProblem.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// "0xFF (device not found)", or "0x5F" for a value the library does not
// document.
std::string BridgeStatusText(BridgeStatus status);
// Why a transaction failed, in the tool's words, with the library's status
// where a call failed: "the request could not be sent: the bridge library
// answered 0x04 (write error)".
std::string TransactionFailureText(const TransactionOutcome& outcome);
// Why opening the unit failed, naming the step and the library's status:
// "opening unit 0 failed at the open: the bridge library answered 0xFF
// (device not found)". unit: "unit 0", "the unit at 1-4".
std::string OpenFailureText(const std::string& unit, const OpenOutcome& open);
// The attached devices could not be counted: "counting the bridge devices
// failed: the bridge library answered 0x02 (read error)".
std::string DeviceCountFailureText(BridgeStatus status);
// Why the way to the bridge cannot be used at all: "cannot load the bridge
// library libSiUSBXp.so: <the loader's text>".
std::string BridgeLoadFailureText(const BridgeLoadFailure& failure);
// Why an operation on the USB path failed: "the bridge at USB bus 1 device
// 7 stalled while taking a request"; empty for none.
std::string UsbProblemText(const UsbProblem& problem);
// The serial string of a bridge device could not be read, so whether it is
// a unit cannot be told.
std::string SerialStringFailureText(std::uint32_t deviceIndex, BridgeStatus status);
// A transport event worth a line of its own: what a front end that folds
// the others into its one line per failure still says. Empty for the rest.
std::string TransportEventNote(const std::string& unit, TransportEvent event, BridgeStatus status);

// "automix", "fixed", "custom", or the code in decimal for one that names
// no mode.
std::string ModeName(std::uint8_t modeCode);
// "custom mode", or "an unknown mode (code 7)".
std::string ModePhrase(std::uint8_t modeCode);
// A mode by its name, in any case.
std::optional<EdidMode> ModeNamed(const std::string& name);

// "0x4C"
std::string HexByte(std::uint8_t value);
// "0x4C", "0x17F": at least two digits.
std::string HexOffset(std::size_t offset);
