#include "cli/TableImport.h"

#include "edid/EdidImage.h"

#include <algorithm>
#include <iterator>

namespace {

constexpr std::uint8_t kEdidHeader[] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};

bool HasHeader(const EdidTable& table) {
    return table.size() >= std::size(kEdidHeader) &&
           std::equal(std::begin(kEdidHeader), std::end(kEdidHeader), table.begin());
}

} // namespace

void PadToTwoBlocks(EdidTable& table) {
    if (table.size() == kEdidBlockSize) {
        table.resize(kEdidSize, 0x00);
    }
}

bool ImportTable(const std::vector<std::uint8_t>& bytes, EdidTable* table, EdidTableForm* form,
                 std::string* reason, std::string* note) {
    ImportedEdid imported = ImportEdidTable(bytes, EdidTableSize::AsDeclared);
    if (!imported.Found()) {
        *reason =
            std::string("holds no EDID table (") + EdidImportFailureReason(imported.failure) + ")";
        return false;
    }
    note->clear();
    if (imported.truncated) {
        *note = "truncated: byte 126 declares " + std::to_string(imported.declaredBlocks) +
                " blocks, the file holds " +
                std::to_string(imported.table.size() / kEdidBlockSize) +
                "; taken as far as it goes";
    } else if (!HasHeader(imported.table)) {
        *note = "no EDID header at the start; taken as it stands";
    }
    *table = std::move(imported.table);
    *form = imported.form;
    return true;
}
