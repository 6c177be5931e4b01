#pragma once

#include "edid/EdidImage.h"

#include <cstdint>

// The value that makes the 8-bit sum of a whole block zero. Reads exactly the
// first 127 bytes from block, so the stored checksum byte never influences it.
std::uint8_t EDIDChkSum(const std::uint8_t* block);

// Both blocks are always checked; the extension count in byte 126 is ignored.
bool ChecksumsCorrect(const EdidImage& image);

// Rewrites bytes 127 and 255, also when only one of them was wrong.
void RepairChecksums(EdidImage& image);
