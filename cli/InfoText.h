#pragma once

#include "EdidDecode.h"
#include "TableImport.h"

#include <string>

// The decoder's view of a table as lines of readable text, the summary
// line first.
std::string InfoText(const EdidTable& table, const DecodedEdid& decoded);
