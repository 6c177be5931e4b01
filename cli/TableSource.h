#pragma once

#include "cli/CliSession.h"
#include "cli/TableImport.h"

#include <string>

// The table that diff and info take: from a file, or, for "unit", read from
// the chosen unit and bank.
inline constexpr const char* kUnitSource = "unit";

int LoadTableFrom(CliSession& session, const std::string& source, EdidTable* table);
