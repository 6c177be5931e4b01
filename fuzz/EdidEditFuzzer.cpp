#include "edid/Checksum.h"
#include "edid/EdidEdit.h"
#include "edid/EdidImage.h"
#include "edid/EdidStructure.h"
#include "fuzz/FuzzExpect.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

// One edit chosen by selector, its arguments taken from the 16 bytes at a.
EdidEditOutcome ApplyEdit(EdidTable& table, std::uint8_t selector, const std::uint8_t* a) {
    switch (selector % 16) {
    case 0:
        return SetManufacturer(table, std::string(a, a + 3));
    case 1:
        return SetProductCode(table, static_cast<std::uint32_t>(a[0] | (a[1] << 8) | (a[2] << 16)));
    case 2:
        return SetWeek(table, a[0]);
    case 3:
        return SetModelYear(table, 1900u + a[0] + a[1]);
    case 4:
        return SetDisplayName(table, std::string(a, a + a[15] % 16));
    case 5:
        return SetSerialString(table, std::string(a, a + a[15] % 16));
    case 6:
        return SetPreferredTiming(table, static_cast<std::uint16_t>(a[0] << 5),
                                  static_cast<std::uint16_t>(a[1] << 4), a[2] + a[3] / 256.0);
    case 7:
        return AddVic(table, a[0]);
    case 8:
        return RemoveVic(table, a[0]);
    case 9:
        return MarkNativeVic(table, a[0]);
    case 10:
        return SetNoAudio(table);
    case 11:
        return SetLpcmAudio(table, LpcmAudio{static_cast<std::uint8_t>(a[0] % 10), a[1], a[2]});
    case 12:
        return SetPhysicalAddress(table, {a[0], a[1], a[2], a[3]});
    case 13:
        return SetMaxTmdsClock(table, a[0] * 5u + a[1] % 2);
    case 14:
        return FitRangeLimits(table);
    default:
        return SetSerialNumber(table, a[0] | (std::uint64_t{a[1]} << 32));
    }
}

} // namespace

// 17 bytes choose an edit and its arguments; the rest is the table. An
// edit never changes the table's size, a refused one changes no byte, and
// every block a made one changed sums to zero. The structural checks then
// read the result without failing.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr std::size_t kChoice = 17;
    if (size < kChoice) {
        return 0;
    }
    const EdidTable before(data + kChoice, data + size);
    EdidTable table = before;
    const EdidEditOutcome outcome = ApplyEdit(table, data[0], data + 1);
    Expect(table.size() == before.size());
    if (outcome != EdidEditOutcome::Done) {
        Expect(table == before);
    }
    for (std::size_t at = 0; at + kEdidBlockSize <= table.size(); at += kEdidBlockSize) {
        const bool changed = !std::equal(table.begin() + at, table.begin() + at + kEdidBlockSize,
                                         before.begin() + at);
        if (changed) {
            Expect(table[at + kChecksumOffset] == EDIDChkSum(table.data() + at));
        }
    }
    CheckEdidStructure(table);
    return 0;
}
