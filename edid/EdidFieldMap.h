#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Which decoded field the byte at offset of table belongs to, e.g.
// "manufacturer ID", "detailed timing 1", "block 1: CTA data block: video",
// so that a difference between two tables can be told in their terms.
std::string NameEdidField(const std::vector<std::uint8_t>& table, std::size_t offset);
