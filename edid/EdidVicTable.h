#pragma once

#include "edid/EdidDecode.h"

#include <cstdint>

// Fills mode, interlaced and known for the VIC of descriptor from the CTA-861
// video format table; known stays false for a VIC the table leaves undefined.
void LookUpVic(ShortVideoDescriptor& descriptor);
