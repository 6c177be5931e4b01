#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// Two 128-byte blocks; each block carries its checksum in its last byte.
inline constexpr std::size_t kEdidSize = 256;
inline constexpr std::size_t kEdidBlockSize = 128;
inline constexpr std::size_t kEdidBlockCount = kEdidSize / kEdidBlockSize;
inline constexpr std::size_t kChecksumOffset = kEdidBlockSize - 1;

using EdidImage = std::array<std::uint8_t, kEdidSize>;
