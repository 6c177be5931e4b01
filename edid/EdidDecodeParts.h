#pragma once

#include "edid/EdidDecode.h"
#include "edid/EdidLayout.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// The pieces of the decoder, each reading a fixed-size part of one block that
// the caller has checked lies inside the table.

// An 18-byte descriptor whose pixel clock is not zero.
DetailedTiming DecodeDetailedTiming(const std::uint8_t* descriptor);

// The two bytes of a standard timing; false for an unused slot.
bool DecodeStandardTiming(const std::uint8_t* slot, std::uint8_t revision, StandardTiming& timing);

// The three established timing bytes, in the order of their bits.
std::vector<TimingMode> DecodeEstablishedTimings(const std::uint8_t* bytes);

// A CTA-861 extension block; block is its 128 bytes, which start at
// blockOffset in the whole table.
CtaExtension DecodeCtaExtension(const std::uint8_t* block, std::size_t blockIndex,
                                std::size_t blockOffset, std::vector<EdidProblem>& problems);
