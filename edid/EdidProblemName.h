#pragma once

#include "edid/EdidDecode.h"

// A stable machine name for each kind of problem, e.g. "checksum" or
// "cta_dtd_offset": lower case, words joined by '_', never renamed, so that
// scripts can key on it in the tool's JSON and in the summary.
const char* EdidProblemName(EdidProblemKind kind);
