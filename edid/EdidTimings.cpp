#include "edid/EdidDecodeParts.h"

#include <iterator>

namespace {

// The established timing bits of bytes 35 and 36, highest bit first, and the
// one defined bit (bit 7) of byte 37.
constexpr TimingMode kEstablishedModes[] = {
    {720, 400, 70},   {720, 400, 88},  {640, 480, 60},  {640, 480, 67},  {640, 480, 72},
    {640, 480, 75},   {800, 600, 56},  {800, 600, 60},  {800, 600, 72},  {800, 600, 75},
    {832, 624, 75},   {1024, 768, 87}, {1024, 768, 60}, {1024, 768, 70}, {1024, 768, 75},
    {1280, 1024, 75}, {1152, 870, 75},
};

constexpr std::uint8_t kUnusedStandardTiming = 0x01;
constexpr unsigned kStandardWidthUnit = 8;
constexpr unsigned kStandardWidthBias = 31;
constexpr unsigned kStandardRefreshBias = 60;

std::uint16_t Twelve(std::uint8_t low, std::uint8_t highNibble) {
    return static_cast<std::uint16_t>(low | ((highNibble & 0x0F) << 8));
}

} // namespace

DetailedTiming DecodeDetailedTiming(const std::uint8_t* d) {
    DetailedTiming t;
    t.pixelClockKHz = static_cast<std::uint32_t>(d[0] | (d[1] << 8)) * 10;
    t.hActive = Twelve(d[2], d[4] >> 4);
    t.hBlanking = Twelve(d[3], d[4]);
    t.vActive = Twelve(d[5], d[7] >> 4);
    t.vBlanking = Twelve(d[6], d[7]);
    t.hFrontPorch = static_cast<std::uint16_t>(d[8] | ((d[11] >> 6) & 0x03) << 8);
    t.hSyncWidth = static_cast<std::uint16_t>(d[9] | ((d[11] >> 4) & 0x03) << 8);
    t.vFrontPorch = static_cast<std::uint16_t>((d[10] >> 4) | ((d[11] >> 2) & 0x03) << 4);
    t.vSyncWidth = static_cast<std::uint16_t>((d[10] & 0x0F) | (d[11] & 0x03) << 4);
    t.imageWidthMm = Twelve(d[12], d[14] >> 4);
    t.imageHeightMm = Twelve(d[13], d[14]);
    t.hBorder = d[15];
    t.vBorder = d[16];
    const std::uint8_t flags = d[17];
    t.interlaced = (flags & 0x80) != 0;
    t.stereo = static_cast<std::uint8_t>(((flags >> 4) & 0x06) | (flags & 0x01));
    t.sync = static_cast<SyncKind>((flags >> 3) & 0x03);
    t.hSyncPositive = (flags & 0x02) != 0;
    t.vSyncPositive = t.sync == SyncKind::DigitalSeparate && (flags & 0x04) != 0;

    // An interlaced frame of two fields carries one more blanking line than
    // twice a field's, so a field lasts half a line longer than its lines.
    const double lines = t.vActive + t.vBlanking + (t.interlaced ? 0.5 : 0.0);
    const double total = double(t.hActive + t.hBlanking) * lines;
    t.refreshHz = total > 0 ? t.pixelClockKHz * 1000.0 / total : 0.0;
    return t;
}

bool DecodeStandardTiming(const std::uint8_t* slot, std::uint8_t revision, StandardTiming& timing) {
    if ((slot[0] == kUnusedStandardTiming && slot[1] == kUnusedStandardTiming) || slot[0] == 0) {
        return false;
    }
    const unsigned width = (slot[0] + kStandardWidthBias) * kStandardWidthUnit;
    static constexpr std::uint8_t kAspects[4][2] = {{16, 10}, {4, 3}, {5, 4}, {16, 9}};
    const unsigned aspect = slot[1] >> 6;
    // Before EDID 1.3 the first aspect code meant 1:1.
    const bool square = aspect == 0 && revision < 3;
    timing.aspectWidth = square ? 1 : kAspects[aspect][0];
    timing.aspectHeight = square ? 1 : kAspects[aspect][1];
    timing.mode.width = static_cast<std::uint16_t>(width);
    timing.mode.height =
        static_cast<std::uint16_t>(width * timing.aspectHeight / timing.aspectWidth);
    timing.mode.refreshHz = static_cast<std::uint16_t>((slot[1] & 0x3F) + kStandardRefreshBias);
    return true;
}

std::vector<TimingMode> DecodeEstablishedTimings(const std::uint8_t* bytes) {
    std::vector<TimingMode> modes;
    for (std::size_t bit = 0; bit < std::size(kEstablishedModes); ++bit) {
        if (bytes[bit / 8] & (0x80 >> (bit % 8))) {
            modes.push_back(kEstablishedModes[bit]);
        }
    }
    return modes;
}
