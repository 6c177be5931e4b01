#pragma once

#include "edid/EdidDecode.h"

#include <string>

// What a structural problem is, as the tool's check and info list it.
std::string StructureProblemText(EdidProblemKind kind);
