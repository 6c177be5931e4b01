#include "edid/EdidStructure.h"

#include "edid/Checksum.h"
#include "edid/EdidLayout.h"
#include "edid/EdidListedTimings.h"

#include <algorithm>
#include <set>

namespace {

bool OutsideRates(const DetailedTiming& t, const RangeLimits& limits) {
    const double hTotal = t.hActive + t.hBlanking + 2.0 * t.hBorder;
    if (hTotal == 0 || t.pixelClockKHz == 0) {
        return false;
    }
    const double hKHz = t.pixelClockKHz / hTotal;
    return t.refreshHz < limits.minVerticalHz || t.refreshHz > limits.maxVerticalHz ||
           hKHz < limits.minHorizontalKHz || hKHz > limits.maxHorizontalKHz;
}

void CheckBlocks(const std::vector<std::uint8_t>& table, const DecodedEdid& decoded,
                 std::vector<EdidProblem>& problems) {
    if (!StartsWithEdidHeader(table.data(), table.size())) {
        problems.push_back({EdidProblemKind::HeaderInvalid, 0, 0});
    }
    const std::size_t held = table.size() / kEdidBlockSize;
    for (std::size_t block = 0; block < held; ++block) {
        const std::uint8_t* start = table.data() + block * kEdidBlockSize;
        if (start[kChecksumOffset] != EDIDChkSum(start)) {
            problems.push_back(
                {EdidProblemKind::ChecksumWrong, block, block * kEdidBlockSize + kChecksumOffset});
        }
    }
    if (held > std::size_t{1} + decoded.base.extensionCount) {
        problems.push_back({EdidProblemKind::ExtensionCountMismatch, 0, kExtensionCountOffset});
    }
}

void CheckDescriptors(const std::vector<std::uint8_t>& table, std::vector<EdidProblem>& problems) {
    bool named = false;
    for (std::size_t slot = 0; slot < kDescriptorCount; ++slot) {
        const std::uint8_t* d = table.data() + DescriptorSlotOffset(slot);
        if (d[0] != 0 || d[1] != 0) {
            continue;
        }
        // A display descriptor keeps bytes 2 and 4 zero; other bytes there
        // make it a timing with no pixel clock.
        if (d[2] != 0 || d[4] != 0) {
            problems.push_back({EdidProblemKind::PixelClockZero, 0, DescriptorSlotOffset(slot)});
        } else if (d[3] == kNameDescriptorTag) {
            named = true;
        }
    }
    if (!named) {
        problems.push_back({EdidProblemKind::NameDescriptorMissing, 0, kFirstDescriptorOffset});
    }
}

void CheckRangeLimits(const std::vector<std::uint8_t>& table, const DecodedEdid& decoded,
                      std::vector<EdidProblem>& problems) {
    const auto found =
        std::find_if(decoded.base.displayDescriptors.begin(), decoded.base.displayDescriptors.end(),
                     [](const DisplayDescriptor& d) { return d.rangeLimits.has_value(); });
    if (found == decoded.base.displayDescriptors.end()) {
        return;
    }
    const RangeLimits& limits = *found->rangeLimits;
    for (const ListedTiming& placed : ListTableTimings(table, decoded)) {
        if (limits.maxPixelClockMHz != 0 &&
            placed.timing.pixelClockKHz > limits.maxPixelClockMHz * 1000u) {
            problems.push_back(
                {EdidProblemKind::PixelClockPastRangeLimit, placed.block, placed.offset});
        } else if (OutsideRates(placed.timing, limits)) {
            problems.push_back(
                {EdidProblemKind::TimingOutsideRangeLimits, placed.block, placed.offset});
        }
    }
}

void CheckVics(const std::vector<std::uint8_t>& table, const DecodedEdid& decoded,
               std::vector<EdidProblem>& problems) {
    for (const EdidExtension& extension : decoded.extensions) {
        if (!extension.cta) {
            continue;
        }
        std::set<std::uint8_t> seen;
        for (const CtaDataBlock& block : extension.cta->dataBlocks) {
            if (block.kind != CtaDataBlockKind::Video) {
                continue;
            }
            for (std::size_t i = 1; i <= block.length; ++i) {
                if (!seen.insert(SvdVic(table[block.offset + i])).second) {
                    problems.push_back(
                        {EdidProblemKind::DuplicateVic, extension.block, block.offset + i});
                }
            }
        }
    }
}

} // namespace

std::vector<EdidProblem> CheckEdidStructure(const std::vector<std::uint8_t>& table) {
    const DecodedEdid decoded = DecodeEdid(table);
    std::vector<EdidProblem> problems = decoded.problems;
    if (table.size() < kEdidBlockSize) {
        return problems;
    }
    CheckBlocks(table, decoded, problems);
    CheckDescriptors(table, problems);
    CheckRangeLimits(table, decoded, problems);
    CheckVics(table, decoded, problems);
    return problems;
}
