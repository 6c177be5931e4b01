#pragma once

#include "edid/EdidDecode.h"
#include "edid/EdidEdit.h"

#include <string>

// Why an edit could not be made, as the tool says it after the option.
std::string EditOutcomeText(EdidEditOutcome outcome);

// What a structural problem is, as the tool lists it.
std::string StructureProblemText(EdidProblemKind kind);
