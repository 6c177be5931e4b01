#include "edid/Checksum.h"
#include "edid/EdidEditParts.h"
#include "edid/EdidImage.h"

#include <algorithm>
#include <optional>

namespace {

constexpr std::size_t kManufacturer = 8;
constexpr std::size_t kProductCode = 10;
constexpr std::size_t kSerialNumber = 12;
// The years the year byte can hold.
constexpr unsigned kFirstYear = kYearBase;
constexpr unsigned kLastYear = kYearBase + 0xFF;
constexpr unsigned kLastWeek = 54;

bool HasBaseBlock(const EdidTable& table) {
    return table.size() >= kEdidBlockSize;
}

// The slot of the first descriptor with tag, else the first free one.
std::optional<std::size_t> DescriptorSlotFor(const EdidTable& table, std::uint8_t tag) {
    for (std::size_t slot = 0; slot < kDescriptorCount; ++slot) {
        if (IsDisplayDescriptor(table, slot) && table[DescriptorSlotOffset(slot) + 3] == tag) {
            return slot;
        }
    }
    for (std::size_t slot = 0; slot < kDescriptorCount; ++slot) {
        if (IsFreeSlot(table, slot)) {
            return slot;
        }
    }
    return std::nullopt;
}

// Text shorter than the descriptor ends in a line feed, padded with spaces.
EdidEditOutcome SetTextDescriptor(EdidTable& table, std::uint8_t tag, const std::string& text) {
    if (!HasBaseBlock(table)) {
        return EdidEditOutcome::NoBaseBlock;
    }
    if (text.size() > kDescriptorTextLength) {
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
    std::fill(d, d + kDescriptorLength, std::uint8_t{0});
    d[3] = tag;
    std::uint8_t* out = std::copy(text.begin(), text.end(), d + 5);
    if (text.size() < kDescriptorTextLength) {
        *out++ = kDescriptorTextEnd;
        std::fill(out, d + kDescriptorLength, std::uint8_t{' '});
    }
    RepairBlockChecksum(table, 0);
    return EdidEditOutcome::Done;
}

} // namespace

void RepairBlockChecksum(EdidTable& table, std::size_t block) {
    std::uint8_t* start = table.data() + block * kEdidBlockSize;
    start[kChecksumOffset] = EDIDChkSum(start);
}

EdidEditOutcome SetManufacturer(EdidTable& table, const std::string& letters) {
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

EdidEditOutcome SetProductCode(EdidTable& table, std::uint32_t code) {
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

EdidEditOutcome SetSerialNumber(EdidTable& table, std::uint64_t serial) {
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

EdidEditOutcome SetWeek(EdidTable& table, unsigned week) {
    if (!HasBaseBlock(table)) {
        return EdidEditOutcome::NoBaseBlock;
    }
    if (week > kLastWeek) {
        return EdidEditOutcome::ValueOutOfRange;
    }
    table[kWeekOffset] = static_cast<std::uint8_t>(week);
    RepairBlockChecksum(table, 0);
    return EdidEditOutcome::Done;
}

EdidEditOutcome SetYear(EdidTable& table, unsigned year) {
    if (!HasBaseBlock(table)) {
        return EdidEditOutcome::NoBaseBlock;
    }
    if (year < kFirstYear || year > kLastYear) {
        return EdidEditOutcome::ValueOutOfRange;
    }
    // A year of manufacture with the model year marker would still read as
    // a model year.
    if (table[kWeekOffset] == kModelYearWeek) {
        table[kWeekOffset] = 0;
    }
    table[kYearOffset] = static_cast<std::uint8_t>(year - kFirstYear);
    RepairBlockChecksum(table, 0);
    return EdidEditOutcome::Done;
}

EdidEditOutcome SetModelYear(EdidTable& table, unsigned year) {
    if (!HasBaseBlock(table)) {
        return EdidEditOutcome::NoBaseBlock;
    }
    if (year < kFirstYear || year > kLastYear) {
        return EdidEditOutcome::ValueOutOfRange;
    }
    table[kWeekOffset] = kModelYearWeek;
    table[kYearOffset] = static_cast<std::uint8_t>(year - kFirstYear);
    RepairBlockChecksum(table, 0);
    return EdidEditOutcome::Done;
}

EdidEditOutcome SetDisplayName(EdidTable& table, const std::string& text) {
    return SetTextDescriptor(table, kNameDescriptorTag, text);
}

EdidEditOutcome SetSerialString(EdidTable& table, const std::string& text) {
    return SetTextDescriptor(table, kSerialDescriptorTag, text);
}
