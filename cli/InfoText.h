#pragma once

#include "cli/TableImport.h"
#include "edid/EdidDecode.h"

#include <string>

// The decoder's view of a table as lines of readable text, the summary
// line first and the table's problems, structural advice included, last.
std::string InfoText(const EdidTable& table, const DecodedEdid& decoded);
