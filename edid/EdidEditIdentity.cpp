#include "edid/Checksum.h"
#include "edid/EdidEditParts.h"
#include "edid/EdidImage.h"

#include <algorithm>
#include <optional>

namespace {

constexpr std::size_t kManufacturer = 8;
constexpr std::size_t kProductCode = 10;
constexpr std::size_t kSerialNumber = 12;
constexpr std::size_t kWeek = 16;
constexpr std::size_t kYear = 17;
constexpr unsigned kYearBase = 1990;
constexpr unsigned kLastYear = kYearBase + 0xFF;
constexpr unsigned kLastWeek = 54;
constexpr std::uint8_t kModelYearWeek = 0xFF;
constexpr std::size_t kTextLength = 13;
constexpr std::uint8_t kTextEnd = 0x0A;
constexpr std::uint8_t kNameTag = 0xFC;
constexpr std::uint8_t kSerialTag = 0xFF;

bool HasBaseBlock(const EdidBytes& table) {
    return table.size() >= kEdidBlockSize;
}

// The slot of the first descriptor with tag, else the first free one.
std::optional<std::size_t> DescriptorSlotFor(const EdidBytes& table, std::uint8_t tag) {
    for (std::size_t slot = 0; slot < kEditDescriptorCount; ++slot) {
        if (IsDisplayDescriptor(table, slot) && table[DescriptorSlotOffset(slot) + 3] == tag) {
            return slot;
        }
    }
    for (std::size_t slot = 0; slot < kEditDescriptorCount; ++slot) {
        if (IsFreeSlot(table, slot)) {
            return slot;
        }
    }
    return std::nullopt;
}

// Text shorter than the descriptor ends in a line feed, padded with spaces.
EdidEditOutcome SetTextDescriptor(EdidBytes& table, std::uint8_t tag, const std::string& text) {
    if (!HasBaseBlock(table)) {
        return EdidEditOutcome::NoBaseBlock;
    }
    if (text.size() > kTextLength) {
        return EdidEditOutcome::TextTooLong;
    }
    for (const char c : text) {
        if (c < 0x20 || c > 0x7E) {
            return EdidEditOutcome::TextInvalid;
        }
    }
    const std::optional<std::size_t> slot = DescriptorSlotFor(table, tag);
    if (!slot) {
        return EdidEditOutcome::NoFreeDescriptor;
    }
    std::uint8_t* d = table.data() + DescriptorSlotOffset(*slot);
    std::fill(d, d + kEditDescriptorLength, std::uint8_t{0});
    d[3] = tag;
    std::uint8_t* out = std::copy(text.begin(), text.end(), d + 5);
    if (text.size() < kTextLength) {
        *out++ = kTextEnd;
        std::fill(out, d + kEditDescriptorLength, std::uint8_t{' '});
    }
    RepairBlockChecksum(table, 0);
    return EdidEditOutcome::Done;
}

} // namespace

void RepairBlockChecksum(EdidBytes& table, std::size_t block) {
    std::uint8_t* start = table.data() + block * kEdidBlockSize;
    start[kChecksumOffset] = EDIDChkSum(start);
}

EdidEditOutcome SetManufacturer(EdidBytes& table, const std::string& letters) {
    if (!HasBaseBlock(table)) {
        return EdidEditOutcome::NoBaseBlock;
    }
    if (letters.size() != 3) {
        return EdidEditOutcome::ManufacturerInvalid;
    }
    unsigned packed = 0;
    for (const char c : letters) {
        if (c < 'A' || c > 'Z') {
            return EdidEditOutcome::ManufacturerInvalid;
        }
        packed = (packed << 5) | static_cast<unsigned>(c - 'A' + 1);
    }
    table[kManufacturer] = static_cast<std::uint8_t>(packed >> 8);
    table[kManufacturer + 1] = static_cast<std::uint8_t>(packed);
    RepairBlockChecksum(table, 0);
    return EdidEditOutcome::Done;
}

EdidEditOutcome SetProductCode(EdidBytes& table, std::uint32_t code) {
    if (!HasBaseBlock(table)) {
        return EdidEditOutcome::NoBaseBlock;
    }
    if (code > 0xFFFF) {
        return EdidEditOutcome::ValueOutOfRange;
    }
    table[kProductCode] = static_cast<std::uint8_t>(code);
    table[kProductCode + 1] = static_cast<std::uint8_t>(code >> 8);
    RepairBlockChecksum(table, 0);
    return EdidEditOutcome::Done;
}

EdidEditOutcome SetSerialNumber(EdidBytes& table, std::uint64_t serial) {
    if (!HasBaseBlock(table)) {
        return EdidEditOutcome::NoBaseBlock;
    }
    if (serial > 0xFFFFFFFFu) {
        return EdidEditOutcome::ValueOutOfRange;
    }
    for (std::size_t i = 0; i < 4; ++i) {
        table[kSerialNumber + i] = static_cast<std::uint8_t>(serial >> (8 * i));
    }
    RepairBlockChecksum(table, 0);
    return EdidEditOutcome::Done;
}

EdidEditOutcome SetWeek(EdidBytes& table, unsigned week) {
    if (!HasBaseBlock(table)) {
        return EdidEditOutcome::NoBaseBlock;
    }
    if (week > kLastWeek) {
        return EdidEditOutcome::ValueOutOfRange;
    }
    table[kWeek] = static_cast<std::uint8_t>(week);
    RepairBlockChecksum(table, 0);
    return EdidEditOutcome::Done;
}

EdidEditOutcome SetYear(EdidBytes& table, unsigned year) {
    if (!HasBaseBlock(table)) {
        return EdidEditOutcome::NoBaseBlock;
    }
    if (year < kYearBase || year > kLastYear) {
        return EdidEditOutcome::ValueOutOfRange;
    }
    // A year of manufacture with the model year marker would still read as
    // a model year.
    if (table[kWeek] == kModelYearWeek) {
        table[kWeek] = 0;
    }
    table[kYear] = static_cast<std::uint8_t>(year - kYearBase);
    RepairBlockChecksum(table, 0);
    return EdidEditOutcome::Done;
}

EdidEditOutcome SetModelYear(EdidBytes& table, unsigned year) {
    if (!HasBaseBlock(table)) {
        return EdidEditOutcome::NoBaseBlock;
    }
    if (year < kYearBase || year > kLastYear) {
        return EdidEditOutcome::ValueOutOfRange;
    }
    table[kWeek] = kModelYearWeek;
    table[kYear] = static_cast<std::uint8_t>(year - kYearBase);
    RepairBlockChecksum(table, 0);
    return EdidEditOutcome::Done;
}

EdidEditOutcome SetDisplayName(EdidBytes& table, const std::string& text) {
    return SetTextDescriptor(table, kNameTag, text);
}

EdidEditOutcome SetSerialString(EdidBytes& table, const std::string& text) {
    return SetTextDescriptor(table, kSerialTag, text);
}
