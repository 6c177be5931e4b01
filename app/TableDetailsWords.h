#pragma once

#include "edid/EdidDecode.h"
#include "edid/EdidEdit.h"

#include <QString>

// The details window's words for what edid/ reports: why an edit was not
// made, and what a structural problem is; translatable, in the window's
// context.
QString EditRefusalWords(EdidEditOutcome outcome);
QString StructureProblemWords(EdidProblemKind kind);
