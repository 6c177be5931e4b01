#pragma once

#include "cli/UnitLink.h"

#include <nlohmann/json.hpp>

// {"mode": "custom", "read_errors": 5, "edid_readings": 7}; a mode code that
// names no mode is given as its number.
nlohmann::json StatusJson(const UnitStatus& status);
