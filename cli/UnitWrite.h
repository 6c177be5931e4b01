#pragma once

#include "cli/CliSession.h"
#include "edid/EdidImage.h"

#include <string>

// How a table goes to the unit.
struct UnitWriteOptions {
    bool noVerify = false;  // no read-back and compare
    bool setCustom = false; // switch the unit to custom mode first
    std::string backup;     // save the unit's table here first, unless empty
};

// Writes table to the chosen unit and bank, in custom mode only, then reads
// it back and compares all 256 bytes; an exit status, having said what
// happened.
int WriteTableToUnit(CliSession& session, const EdidImage& table, const UnitWriteOptions& options);
