#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The SHA-256 digest of the bytes, as 64 lower-case hex digits, so that a
// production record can name the exact table a unit was given.
std::string Sha256Hex(const std::uint8_t* data, std::size_t length);
