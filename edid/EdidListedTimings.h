#pragma once

#include "edid/EdidDecode.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// A timing the table lists, in full, and the byte that lists it.
struct ListedTiming {
    DetailedTiming timing;
    std::size_t block = 0;
    std::size_t offset = 0; // in the whole table
};

// Every timing the table lists: the established and standard timings, the
// detailed timings of the base block and of every CTA-861 block, and the
// VICs of their video data blocks. A mode named only by its size and rate
// takes the timing of the standard that defines it (CTA-861, then DMT, then
// CVT); one that no standard can give is left out, as is a detailed timing
// without a pixel clock.
std::vector<ListedTiming> ListTableTimings(const std::vector<std::uint8_t>& table,
                                           const DecodedEdid& decoded);
