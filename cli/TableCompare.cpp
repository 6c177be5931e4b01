#include "cli/TableCompare.h"

#include <algorithm>

namespace {

std::optional<std::uint8_t> ValueAt(const EdidTable& table, std::size_t offset) {
    if (offset < table.size()) {
        return table[offset];
    }
    return std::nullopt;
}

} // namespace

std::vector<ByteDifference> CompareTables(const EdidTable& first, const EdidTable& second) {
    std::vector<ByteDifference> differences;
    const std::size_t length = std::max(first.size(), second.size());
    for (std::size_t offset = 0; offset < length; ++offset) {
        const auto a = ValueAt(first, offset);
        const auto b = ValueAt(second, offset);
        if (a != b) {
            differences.push_back({offset, a, b});
        }
    }
    return differences;
}
