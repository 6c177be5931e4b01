#include "edid/EdidEditParts.h"
#include "edid/EdidImage.h"
#include "edid/EdidListedTimings.h"
#include "edid/EdidTimingFormats.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

constexpr std::size_t kScreenWidthCm = 21;
constexpr std::size_t kScreenHeightCm = 22;
constexpr std::size_t kFeatures = 24;
constexpr std::uint8_t kPreferredTimingBit = 0x02;
constexpr std::uint8_t kDigitalSeparateSync = 0x18;
constexpr std::uint8_t kVSyncPositive = 0x04;
constexpr std::uint8_t kHSyncPositive = 0x02;
constexpr std::uint8_t kCvtSupport = 0x04;
constexpr unsigned kRateOffset = 255;

// The span of rates that a set of timings needs.
struct RateSpan {
    double minVerticalHz = 1e9;
    double maxVerticalHz = 0;
    double minHorizontalKHz = 1e9;
    double maxHorizontalKHz = 0;
    double maxPixelClockMHz = 0;
    bool any = false;

    void Cover(const DetailedTiming& t) {
        const double hTotal = t.hActive + t.hBlanking + 2.0 * t.hBorder;
        if (t.pixelClockKHz == 0 || hTotal == 0 || !(t.refreshHz > 0)) {
            return;
        }
        any = true;
        const double hKHz = t.pixelClockKHz / hTotal;
        minVerticalHz = std::min(minVerticalHz, t.refreshHz);
        maxVerticalHz = std::max(maxVerticalHz, t.refreshHz);
        minHorizontalKHz = std::min(minHorizontalKHz, hKHz);
        maxHorizontalKHz = std::max(maxHorizontalKHz, hKHz);
        maxPixelClockMHz = std::max(maxPixelClockMHz, t.pixelClockKHz / 1000.0);
    }
};

// One minimum and maximum pair of rates, with the EDID 1.4 offset flags of
// byte 4 that let a rate exceed 255; flags at shift, values at bytes.
void EncodeRatePair(std::uint8_t* d, int shift, std::size_t minAt, unsigned minimum,
                    unsigned maximum, bool offsetsAllowed) {
    const unsigned limit = offsetsAllowed ? 2 * kRateOffset : kRateOffset;
    maximum = std::min(maximum, limit);
    minimum = std::min(minimum, maximum);
    unsigned code = 0;
    if (maximum > kRateOffset) {
        code = minimum > kRateOffset ? 0x03 : 0x02;
    }
    d[4] = static_cast<std::uint8_t>((d[4] & ~(0x03 << shift)) | (code << shift));
    d[minAt] = static_cast<std::uint8_t>(minimum - ((code & 0x01) ? kRateOffset : 0));
    d[minAt + 1] = static_cast<std::uint8_t>(maximum - ((code & 0x02) ? kRateOffset : 0));
}

} // namespace

bool EncodeDetailedTiming(const DetailedTiming& t, std::uint8_t* d) {
    const std::uint32_t clock = (t.pixelClockKHz + 5) / 10;
    const bool fits = clock >= 1 && clock <= 0xFFFF && t.hActive < 4096 && t.hBlanking < 4096 &&
                      t.vActive < 4096 && t.vBlanking < 4096 && t.hFrontPorch < 1024 &&
                      t.hSyncWidth < 1024 && t.vFrontPorch < 64 && t.vSyncWidth < 64 &&
                      t.imageWidthMm < 4096 && t.imageHeightMm < 4096;
    if (!fits) {
        return false;
    }
    d[0] = static_cast<std::uint8_t>(clock);
    d[1] = static_cast<std::uint8_t>(clock >> 8);
    d[2] = static_cast<std::uint8_t>(t.hActive);
    d[3] = static_cast<std::uint8_t>(t.hBlanking);
    d[4] = static_cast<std::uint8_t>(((t.hActive >> 8) << 4) | (t.hBlanking >> 8));
    d[5] = static_cast<std::uint8_t>(t.vActive);
    d[6] = static_cast<std::uint8_t>(t.vBlanking);
    d[7] = static_cast<std::uint8_t>(((t.vActive >> 8) << 4) | (t.vBlanking >> 8));
    d[8] = static_cast<std::uint8_t>(t.hFrontPorch);
    d[9] = static_cast<std::uint8_t>(t.hSyncWidth);
    d[10] = static_cast<std::uint8_t>(((t.vFrontPorch & 0x0F) << 4) | (t.vSyncWidth & 0x0F));
    d[11] = static_cast<std::uint8_t>(((t.hFrontPorch >> 8) << 6) | ((t.hSyncWidth >> 8) << 4) |
                                      ((t.vFrontPorch >> 4) << 2) | (t.vSyncWidth >> 4));
    d[12] = static_cast<std::uint8_t>(t.imageWidthMm);
    d[13] = static_cast<std::uint8_t>(t.imageHeightMm);
    d[14] = static_cast<std::uint8_t>(((t.imageWidthMm >> 8) << 4) | (t.imageHeightMm >> 8));
    d[15] = t.hBorder;
    d[16] = t.vBorder;
    d[17] =
        static_cast<std::uint8_t>(kDigitalSeparateSync | (t.vSyncPositive ? kVSyncPositive : 0) |
                                  (t.hSyncPositive ? kHSyncPositive : 0));
    return true;
}

EdidEditOutcome SetPreferredTiming(EdidTable& table, std::uint16_t width, std::uint16_t height,
                                   double refreshHz) {
    if (table.size() < kEdidBlockSize) {
        return EdidEditOutcome::NoBaseBlock;
    }
    const std::optional<StandardTimingChoice> choice =
        ChooseStandardTiming(width, height, refreshHz);
    if (!choice) {
        return EdidEditOutcome::NoTiming;
    }
    std::uint8_t* slot = table.data() + DescriptorSlotOffset(0);
    const bool holdsTiming = !IsDisplayDescriptor(table, 0);
    if (!holdsTiming && !IsFreeSlot(table, 0)) {
        return EdidEditOutcome::FirstSlotNotTiming;
    }
    // The image keeps the size the table gave it.
    DetailedTiming timing = choice->timing;
    if (holdsTiming) {
        const DetailedTiming old = DecodeDetailedTiming(slot);
        timing.imageWidthMm = old.imageWidthMm;
        timing.imageHeightMm = old.imageHeightMm;
    } else {
        timing.imageWidthMm = static_cast<std::uint16_t>(table[kScreenWidthCm] * 10);
        timing.imageHeightMm = static_cast<std::uint16_t>(table[kScreenHeightCm] * 10);
    }
    if (!EncodeDetailedTiming(timing, slot)) {
        return EdidEditOutcome::TimingTooLarge;
    }
    table[kFeatures] |= kPreferredTimingBit;
    RepairBlockChecksum(table, 0);
    return EdidEditOutcome::Done;
}

EdidEditOutcome FitRangeLimits(EdidTable& table) {
    if (table.size() < kEdidBlockSize) {
        return EdidEditOutcome::NoBaseBlock;
    }
    std::optional<std::size_t> slot;
    for (std::size_t s = 0; s < kDescriptorCount && !slot; ++s) {
        if (IsDisplayDescriptor(table, s) &&
            table[DescriptorSlotOffset(s) + 3] == kRangeLimitsTag) {
            slot = s;
        }
    }
    if (!slot) {
        return EdidEditOutcome::NoRangeLimits;
    }
    const DecodedEdid decoded = DecodeEdid(table);
    RateSpan span;
    for (const ListedTiming& listed : ListTableTimings(table, decoded)) {
        span.Cover(listed.timing);
    }
    if (!span.any) {
        return EdidEditOutcome::Done;
    }
    std::uint8_t* d = table.data() + DescriptorSlotOffset(*slot);
    RangeLimits limits{};
    for (const DisplayDescriptor& descriptor : decoded.base.displayDescriptors) {
        if (descriptor.rangeLimits) {
            limits = *descriptor.rangeLimits;
            break;
        }
    }
    const auto low = [](double needed, unsigned stated) {
        return std::min(stated, static_cast<unsigned>(std::floor(needed)));
    };
    const auto high = [](double needed, unsigned stated) {
        return std::max(stated, static_cast<unsigned>(std::ceil(needed)));
    };
    const bool offsetsAllowed = table[kRevisionOffset] >= 4;
    EncodeRatePair(d, 0, 5, low(span.minVerticalHz, limits.minVerticalHz),
                   high(span.maxVerticalHz, limits.maxVerticalHz), offsetsAllowed);
    EncodeRatePair(d, 2, 7, low(span.minHorizontalKHz, limits.minHorizontalKHz),
                   high(span.maxHorizontalKHz, limits.maxHorizontalKHz), offsetsAllowed);
    const unsigned clock =
        std::min(255u, high(span.maxPixelClockMHz / 10.0, limits.maxPixelClockMHz / 10u));
    if (clock != d[9] && d[10] == kCvtSupport) {
        // The CVT form takes a finer maximum off byte 9; the new one is whole.
        d[12] &= 0x03;
    }
    d[9] = static_cast<std::uint8_t>(clock);
    RepairBlockChecksum(table, 0);
    return EdidEditOutcome::Done;
}
