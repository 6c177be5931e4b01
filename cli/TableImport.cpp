#include "cli/TableImport.h"

#include "edid/EdidImage.h"

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
    } else if (!StartsWithEdidHeader(imported.table.data(), imported.table.size())) {
        *note = "no EDID header at the start; taken as it stands";
    }
    *table = std::move(imported.table);
    *form = imported.form;
    return true;
}
