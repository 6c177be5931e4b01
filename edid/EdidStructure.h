#pragma once

#include "edid/EdidDecode.h"

#include <cstdint>
#include <vector>

// The structural problems of a table, as advice: the decoder's own, then
// the header, each block's checksum, the extension count against the size,
// the timings against the range limits, the product name descriptor, and
// VICs listed twice. Each names its block and the offset, in the whole
// table, of the bytes at fault.
std::vector<EdidProblem> CheckEdidStructure(const std::vector<std::uint8_t>& table);
