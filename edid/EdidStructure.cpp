#include "edid/EdidStructure.h"

#include "edid/Checksum.h"
#include "edid/EdidDecodeParts.h"
#include "edid/EdidImage.h"
#include "edid/EdidListedTimings.h"

#include <algorithm>
#include <set>

namespace {

constexpr std::uint8_t kHeader[] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
constexpr std::size_t kFirstDescriptor = 54;
constexpr std::size_t kDescriptorCount = 4;
constexpr std::size_t kExtensionCount = 126;
constexpr std::uint8_t kNameTag = 0xFC;
constexpr std::uint8_t kNativeFlag = 0x80;
constexpr std::uint8_t kLastNativeSvd = 192;

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
    if (!std::equal(std::begin(kHeader), std::end(kHeader), table.begin())) {
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
        problems.push_back({EdidProblemKind::ExtensionCountMismatch, 0, kExtensionCount});
    }
}

void CheckDescriptors(const std::vector<std::uint8_t>& table, std::vector<EdidProblem>& problems) {
    bool named = false;
    for (std::size_t slot = 0; slot < kDescriptorCount; ++slot) {
        const std::uint8_t* d = table.data() + kFirstDescriptor + slot * kDescriptorLength;
        if (d[0] != 0 || d[1] != 0) {
            continue;
        }
        // A display descriptor keeps bytes 2 and 4 zero; other bytes there
        // make it a timing with no pixel clock.
        if (d[2] != 0 || d[4] != 0) {
            problems.push_back(
                {EdidProblemKind::PixelClockZero, 0, kFirstDescriptor + slot * kDescriptorLength});
        } else if (d[3] == kNameTag) {
            named = true;
        }
    }
    if (!named) {
        problems.push_back({EdidProblemKind::NameDescriptorMissing, 0, kFirstDescriptor});
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
                std::uint8_t vic = table[block.offset + i];
                if (vic > kNativeFlag && vic <= kLastNativeSvd) {
                    vic &= ~kNativeFlag;
                }
                if (!seen.insert(vic).second) {
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
