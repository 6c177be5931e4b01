#include "edid/EdidImage.h"
#include "edid/EdidImport.h"
#include "fuzz/FuzzExpect.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::vector<std::uint8_t> AsHexText(const std::vector<std::uint8_t>& table) {
    std::string text;
    for (const std::uint8_t byte : table) {
        char group[4];
        std::snprintf(group, sizeof group, "%02x ", byte);
        text += group;
    }
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

} // namespace

// Any file: a table found is 256 bytes taken whole, or starts with the EDID
// header and holds whole blocks up to those byte 126 declares (exactly two
// when two are asked for), and the same table written as hex text imports to
// itself under the same policy.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> file(data, data + size);
    for (const EdidTableSize policy : {EdidTableSize::AsDeclared, EdidTableSize::TwoBlocks}) {
        const ImportedEdid imported = ImportEdidTable(file, policy);
        if (!imported.Found()) {
            Expect(imported.table.empty());
            continue;
        }
        const std::vector<std::uint8_t>& table = imported.table;
        Expect(imported.declaredBlocks == std::size_t{1} + table[126]);
        Expect(table.size() % kEdidBlockSize == 0);
        if (policy == EdidTableSize::TwoBlocks) {
            Expect(table.size() == kEdidSize && table[0] == 0x00 && table[7] == 0x00);
        } else if (table.size() != kEdidSize) {
            Expect(table[0] == 0x00 && table[7] == 0x00);
            Expect(table.size() <= imported.declaredBlocks * kEdidBlockSize);
            Expect(imported.truncated == (table.size() < imported.declaredBlocks * kEdidBlockSize));
        }
        const ImportedEdid again = ImportEdidTable(AsHexText(table), policy);
        Expect(again.Found() && again.table == table);
    }
    return 0;
}
