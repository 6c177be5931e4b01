#pragma once

#include "edid/EdidLayout.h"

#include <array>
#include <cstdint>
#include <vector>

// The two blocks as the unit holds them.
using EdidImage = std::array<std::uint8_t, kEdidSize>;

// A table as files and the decoder have it: the base block and the
// extensions it declares, or as much of them as a source held.
using EdidTable = std::vector<std::uint8_t>;
