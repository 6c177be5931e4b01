#pragma once

#include "edid/EdidDecode.h"

#include <string>

// One line that says what display the table describes and what it offers,
// e.g. "DEL U2415 · 1920x1200 @ 59.95 Hz · CTA-861 rev 3 · HDMI 1.0.0.0 · LPCM 2ch".
// UTF-8; a table the decoder found faults in ends with the name of the first
// (see EdidProblemName).
std::string SummariseEdid(const DecodedEdid& decoded);
