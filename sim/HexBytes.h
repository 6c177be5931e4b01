#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// "11 10 B0 00": upper-case pairs separated by single spaces, as the request
// log shows them.
std::string SpacedHex(const std::uint8_t* bytes, std::size_t length);

// "1110B000": upper-case pairs without separators, as the state file keeps a
// memory.
std::string PackedHex(const std::uint8_t* bytes, std::size_t length);

// Reads exactly `length` bytes from packed hex text of either case; false for
// any other length or a character that is not a hex digit.
bool ParsePackedHex(const std::string& text, std::uint8_t* bytes, std::size_t length);
