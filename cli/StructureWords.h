#pragma once

#include "edid/EdidDecode.h"

#include <string>

// What a structural problem is, as the tool's check lists it.
std::string StructureProblemText(EdidProblemKind kind);

// A problem as info lists it: the decoder's own with the counts and offsets
// that it found, the others as check words them.
std::string ProblemText(const DecodedEdid& decoded, const EdidProblem& problem);
