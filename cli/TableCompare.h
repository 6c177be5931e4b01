#pragma once

#include "cli/TableImport.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

// One offset at which two tables differ; a table shorter than the offset has
// no value there.
struct ByteDifference {
    std::size_t offset;
    std::optional<std::uint8_t> first;
    std::optional<std::uint8_t> second;
};

std::vector<ByteDifference> CompareTables(const EdidTable& first, const EdidTable& second);
