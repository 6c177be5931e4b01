#pragma once

#include "cli/CliSession.h"
#include "cli/UnitLink.h"
#include "edid/EdidImage.h"

#include <cstddef>
#include <string>
#include <vector>

// How a table goes to the unit.
struct UnitWriteOptions {
    bool noVerify = false;  // no read-back and compare
    bool setCustom = false; // switch the unit to custom mode first
    std::string backup;     // save the unit's table here first, unless empty
};

// The 256-byte table in the file (with --pad, a lone base block padded),
// refused, having said why, when its size or, unless allowed, its checksums
// are wrong.
int LoadTableToWrite(CliSession& session, const std::string& path, bool pad, bool allowBadChecksum,
                     EdidImage* table);

// Writes table to the chosen unit and bank, in custom mode only, then reads
// it back and compares all 256 bytes; an exit status, having said what
// happened.
int WriteTableToUnit(CliSession& session, const EdidImage& table, const UnitWriteOptions& options);

// The steps of WriteTableToUnit on a link the caller holds, for a caller that
// does something between them. Custom mode (switching when setCustom says
// so), then the backup when one is asked for.
int PrepareUnitForWrite(CliSession& session, UnitLink& link, const UnitWriteOptions& options);
// The write, then, unless noVerify, the read-back; the offsets whose bytes
// came back otherwise are added to differing when given.
int WriteAndVerify(CliSession& session, UnitLink& link, const EdidImage& table, bool noVerify,
                   std::vector<std::size_t>* differing = nullptr);
