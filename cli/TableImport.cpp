#include "cli/TableImport.h"

#include "edid/EdidImage.h"

bool ImportTable(const std::vector<std::uint8_t>& bytes, EdidTable* table, EdidTableForm* form,
                 std::string* reason) {
    ImportedEdid imported = ImportEdidTable(bytes, EdidTableSize::AsDeclared);
    if (!imported.Found()) {
        *reason =
            std::string("holds no EDID table (") + EdidImportFailureReason(imported.failure) + ")";
        return false;
    }
    // A raw file of the unit's 256 bytes is taken whole, whatever byte 126
    // declares: the unit always holds two blocks, and a table read from it
    // must go back to it unchanged.
    if (imported.form == EdidTableForm::Binary && bytes.size() == kEdidSize) {
        imported.table = bytes;
    }
    *table = std::move(imported.table);
    *form = imported.form;
    return true;
}
