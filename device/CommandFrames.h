#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

// Byte layout of every request the program sends to the unit.
//
// Block requests: command, count, target address (the Device address byte),
// then the address, most significant byte first, whose width follows from the
// command's high nibble.
namespace frames {

inline constexpr std::uint8_t kBlockRead = 0x11;
inline constexpr std::uint8_t kBlockWrite = 0x10;
inline constexpr std::uint8_t kStatus = 0x02;
inline constexpr std::uint8_t kControl = 0x11;
inline constexpr std::uint8_t kControlMarker = 0x23; // '#'
inline constexpr std::uint8_t kControlEnd = 0x0D;    // carriage return

inline constexpr std::size_t kBlockReadLength = 4;
inline constexpr std::size_t kBlockWriteLength = 12;
inline constexpr std::size_t kBlockWriteDataLength = 8;
inline constexpr std::size_t kBlockWriteReplyLength = 5;
inline constexpr std::size_t kStatusShortReplyLength = 3;
inline constexpr std::size_t kStatusLongLength = 8;
inline constexpr std::size_t kStatusLongReplyLength = 10;
inline constexpr std::size_t kStatusModeByte = 2;

std::array<std::uint8_t, kBlockReadLength>
BlockReadRequest(std::uint8_t count, std::uint8_t deviceAddress, std::uint8_t address);

std::array<std::uint8_t, kBlockWriteLength>
BlockWriteRequest(std::uint8_t deviceAddress, std::uint8_t address, const std::uint8_t* data);

// 0x11, count, control address, '#', payload, CR.
std::vector<std::uint8_t> ControlRequest(std::uint8_t controlAddress, std::uint8_t count,
                                         const std::uint8_t* payload, std::size_t payloadLength);

} // namespace frames
