#pragma once

#include "edid/EdidEdit.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

// The values of the edit command's options, read from their text; nothing
// when the text is not of that form.

// Decimal, or hexadecimal after 0x.
std::optional<std::uint64_t> ParseEditNumber(const std::string& text);

struct ModeArgument {
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    double refreshHz = 0;
};
// WxH@HZ, e.g. 1920x1080@60 or 1920x1080@59.94.
std::optional<ModeArgument> ParseMode(const std::string& text);

// a.b.c.d, each a hexadecimal digit.
std::optional<std::array<std::uint8_t, 4>> ParsePhysicalAddress(const std::string& text);

// "none", or lpcm:CHANNELS:RATES_KHZ:BITS with comma-separated lists, e.g.
// lpcm:2:32,44.1,48:16,20,24. No LPCM value stands for none.
struct AudioArgument {
    std::optional<LpcmAudio> lpcm;
};
std::optional<AudioArgument> ParseAudio(const std::string& text);
