#include "sim/SimulatedUnit.h"

#include <algorithm>
#include <numeric>
#include <string>

// The unit's factory tables: an EDID 1.3 base block for a 1920x1080 display
// and a CEA-861 extension, made up for the simulated unit.

namespace {

constexpr std::size_t kBlockSize = 128;
constexpr std::size_t kDescriptorSize = 18;
constexpr std::size_t kDescriptorTextSize = 13;
constexpr std::size_t kSerialNumberAt = 12;
constexpr std::size_t kSerialTextAt = 108;

const std::uint8_t kBaseBlockStart[] = {
    0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, // header
    0x51, 0x96,                                     // manufacturer "TLV"
    0x22, 0x20,                                     // product code
    0x00, 0x00, 0x00, 0x00,                         // serial number, set per address
    0x01, 0x20,                                     // week 1 of 2022
    0x01, 0x03,                                     // EDID 1.3
    0x80, 0x34, 0x1D, 0x78, 0x0A, // digital input, 52 x 29 cm, gamma 2.2, RGB, preferred timing
    0xEE, 0x91, 0xA3, 0x54, 0x4C, 0x99, 0x26, 0x0F, 0x50, 0x54, // chromaticity
    0x21, 0x08, 0x00, // established: 640x480, 800x600, 1024x768 at 60 Hz
    // standard: 1920x1080, 1280x720, 1280x800 at 60 Hz
    0xD1, 0xC0, 0x81, 0xC0, 0x81, 0x00, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01,
    // preferred timing: 1920x1080 at 60 Hz, 148.5 MHz
    0x02, 0x3A, 0x80, 0x18, 0x71, 0x38, 0x2D, 0x40, 0x58, 0x2C, 0x45, 0x00, 0x08, 0x22, 0x21, 0x00,
    0x00, 0x1E,
    // range limits: 56-76 Hz, 30-83 kHz, 170 MHz
    0x00, 0x00, 0x00, 0xFD, 0x00, 0x38, 0x4C, 0x1E, 0x53, 0x11, 0x00, 0x0A, 0x20, 0x20, 0x20, 0x20,
    0x20, 0x20};

const std::uint8_t kNameTag[] = {0x00, 0x00, 0x00, 0xFC, 0x00};
const std::uint8_t kSerialTextTag[] = {0x00, 0x00, 0x00, 0xFF, 0x00};

const std::uint8_t kExtensionBlockStart[] = {
    0x02, 0x03, 0x11, 0x71,       // CEA-861 rev. 3, timings at 17, audio, YCbCr, 1 native
    0x44, 0x90, 0x04, 0x03, 0x02, // video: 1080p60 native, 720p60, 480p60 16:9 and 4:3
    0x23, 0x09, 0x07, 0x07,       // audio: 2-channel PCM, 32-48 kHz, 16-24 bit
    0x83, 0x01, 0x00, 0x00,       // speakers: front left and right
    // 1280x720 at 60 Hz, 74.25 MHz
    0x01, 0x1D, 0x00, 0x72, 0x51, 0xD0, 0x1E, 0x20, 0x6E, 0x28, 0x55, 0x00, 0x08, 0x22, 0x21, 0x00,
    0x00, 0x1E};

// A display descriptor's text: at most 13 characters, a line feed after a
// shorter text, spaces after that.
void PutDescriptorText(UnitMemory& table, std::size_t at, const std::uint8_t (&tag)[5],
                       const std::string& text) {
    std::copy(std::begin(tag), std::end(tag), table.begin() + at);
    std::uint8_t* field = table.data() + at + sizeof tag;
    std::fill(field, field + kDescriptorTextSize, 0x20);
    const std::size_t length = std::min(text.size(), kDescriptorTextSize);
    std::copy(text.begin(), text.begin() + length, field);
    if (length < kDescriptorTextSize) {
        field[length] = 0x0A;
    }
}

void SealBlock(UnitMemory& table, std::size_t start) {
    const auto first = table.begin() + start;
    const unsigned sum = std::accumulate(first, first + kBlockSize - 1, 0u);
    table[start + kBlockSize - 1] = static_cast<std::uint8_t>(0x100 - (sum & 0xFF));
}

std::string SerialText(std::uint8_t deviceAddress) {
    static const char kDigits[] = "0123456789ABCDEF";
    return std::string("SIM-") + kDigits[deviceAddress >> 4] + kDigits[deviceAddress & 0x0F];
}

} // namespace

UnitMemory SimulatedUnit::DefaultTable(std::uint8_t deviceAddress) {
    UnitMemory table{};
    std::copy(std::begin(kBaseBlockStart), std::end(kBaseBlockStart), table.begin());
    table[kSerialNumberAt] = deviceAddress;
    PutDescriptorText(table, kSerialTextAt - kDescriptorSize, kNameTag, "TALVO SIM");
    PutDescriptorText(table, kSerialTextAt, kSerialTextTag, SerialText(deviceAddress));
    table[kBlockSize - 2] = 1; // one extension block
    SealBlock(table, 0);

    std::copy(std::begin(kExtensionBlockStart), std::end(kExtensionBlockStart),
              table.begin() + kBlockSize);
    SealBlock(table, kBlockSize);
    return table;
}
