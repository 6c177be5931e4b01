#pragma once

#include "edid/EdidDecode.h"

#include <cstdint>
#include <string>

// Short English names for the decoded codes, shared by the summary, the
// field map and the front ends.
const char* ExtensionName(ExtensionKind kind);
const char* CtaDataBlockName(CtaDataBlockKind kind);
const char* DescriptorName(DescriptorKind kind);
// "LPCM", "AC-3", ...; "extended" for format 15, whose type is in the
// descriptor's extendedFormat.
const char* AudioFormatName(std::uint8_t format);
// "00-0C-03", the way OUIs are written.
std::string OuiText(std::uint32_t oui);
