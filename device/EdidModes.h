#pragma once

#include <cstdint>

// The unit's EDID modes: the code in the status reply and in the mode
// command's payload.
enum class EdidMode : std::uint8_t {
    Automix = 1,
    Fixed = 2,
    Custom = 3,
};

inline constexpr EdidMode kEdidModes[] = {EdidMode::Automix, EdidMode::Fixed, EdidMode::Custom};

// A mode change goes to these control addresses, in this order.
inline constexpr std::uint8_t kModeControlAddresses[] = {0xE0, 0xE1, 0xE4};
// First payload byte of a mode command; the mode code follows it.
inline constexpr std::uint8_t kModePayloadMarker = 0x24; // '$'

// The unit's two EDID reset commands, sent in this order after a write; each
// is the control address it goes to.
enum class EdidReset : std::uint8_t {
    A = 0xEA,
    B = 0xEB,
};
inline constexpr std::uint8_t kResetPayload = 0x20; // ' '

// Device address bytes that SelectEdid(int) picks by index; the first is the
// one in use after start-up.
inline constexpr std::uint8_t kDeviceAddresses[] = {0xB0, 0xA0, 0xB2, 0xB4, 0xB6};
inline constexpr std::uint8_t kStartupDeviceAddress = kDeviceAddresses[0];

// The mode for a status reply's mode code; false for a code that names none.
bool EdidModeFromCode(std::uint8_t code, EdidMode* mode);
