#pragma once

#include "edid/EdidImport.h"

#include <cstdint>
#include <string>
#include <vector>

// A table as the tool handles it in files: the base block and the
// extensions it declares, 128 bytes each.
using EdidTable = std::vector<std::uint8_t>;

// The table that a file's bytes hold, in any form the importer reads; false,
// with the reason, when they hold none.
bool ImportTable(const std::vector<std::uint8_t>& bytes, EdidTable* table, EdidTableForm* form,
                 std::string* reason);
