#pragma once

#include "device/BridgeTransport.h"
#include "device/EdidModes.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// Why a transaction failed, in the tool's words.
const char* TransactionFailureText(TransactionResult result);

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
