#pragma once

#include "cli/TableImport.h"
#include "edid/EdidDecode.h"

#include <nlohmann/json.hpp>

// The decoder's view of a table as one JSON object with the keys that the
// README documents; absent values are null, never left out.
nlohmann::json InfoJson(const EdidTable& table, const DecodedEdid& decoded);
