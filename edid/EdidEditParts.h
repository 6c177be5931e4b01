#pragma once

#include "edid/EdidDecode.h"
#include "edid/EdidDecodeParts.h"
#include "edid/EdidEdit.h"
#include "edid/EdidLayout.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

// What the edits share: the state of a descriptor slot, and the checksum of
// a block they changed.

// A slot whose pixel clock bytes are zero holds a display descriptor.
inline bool IsDisplayDescriptor(const EdidTable& table, std::size_t slot) {
    const std::size_t at = DescriptorSlotOffset(slot);
    return table[at] == 0 && table[at + 1] == 0;
}

// A dummy descriptor (tag 0x10), or a slot left all zero: free for any use.
inline bool IsFreeSlot(const EdidTable& table, std::size_t slot) {
    const std::uint8_t* d = table.data() + DescriptorSlotOffset(slot);
    return (IsDisplayDescriptor(table, slot) && d[3] == kDummyDescriptorTag) ||
           std::all_of(d, d + kDescriptorLength, [](std::uint8_t b) { return b == 0; });
}

// Rewrites the last byte of the block so that the block sums to zero.
void RepairBlockChecksum(EdidTable& table, std::size_t block);

// Writes t into the 18 bytes at d; false, writing nothing, when a field of
// the descriptor cannot hold its value.
bool EncodeDetailedTiming(const DetailedTiming& t, std::uint8_t* d);
