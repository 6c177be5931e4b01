#pragma once

#include "edid/EdidImage.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A load looks at no more than this many bytes from the start of the file.
inline constexpr std::size_t kFileReadLimit = 1024;

enum class EdidFileForm { Binary, Text };

// head: the first up to kFileReadLimit bytes of the file. Every EDID starts
// with its 0x00 header byte, so a leading zero (or nothing at all) marks the
// raw form; anything else is taken as hexadecimal text.
EdidFileForm ClassifyEdidFile(const std::vector<std::uint8_t>& head);

// The first 256 bytes of head, padded with zero bytes.
EdidImage BinaryEdidImage(const std::vector<std::uint8_t>& head);

// The text held in head, which ends at its first zero byte or after
// kFileReadLimit bytes, without a leading UTF-8 byte-order mark. Lines of 16 groups that keep a
// trailing space before their " \r\n" or " \n" end are turned into the canonical layout; other
// texts pass through unchanged.
std::string NormaliseLineEnds(const std::vector<std::uint8_t>& head);
