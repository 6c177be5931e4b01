#pragma once

#include "edid/EdidImage.h"
#include "edid/EdidImport.h"

#include <cstdint>
#include <string>
#include <vector>

// A one-block table with a block 1 of zero bytes after it, as the unit holds
// it; other tables stay as they are.
void PadToTwoBlocks(EdidTable& table);

// The table that a file's bytes hold, in any form the importer reads; false,
// with the reason, when they hold none. A table taken as it stands although
// it is cut short or has no header gets a note saying so.
bool ImportTable(const std::vector<std::uint8_t>& bytes, EdidTable* table, EdidTableForm* form,
                 std::string* reason, std::string* note);
