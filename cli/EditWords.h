#pragma once

#include "edid/EdidEdit.h"

#include <string>

// Why an edit could not be made, as the tool says it after the option.
std::string EditOutcomeText(EdidEditOutcome outcome);
