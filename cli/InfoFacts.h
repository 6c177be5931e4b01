#pragma once

#include "edid/EdidDecode.h"

#include <optional>
#include <string>
#include <vector>

// Values that the text and the JSON of info both give, worked out once.

// "1.3"
std::string VersionText(const EdidBaseBlock& base);
// The first detailed timing, which the table marks as preferred.
const DetailedTiming* PreferredTiming(const EdidBaseBlock& base);
// Frame height: an interlaced timing gives the lines of one field.
unsigned FrameHeight(const DetailedTiming& timing);
// The sample rates a short audio descriptor marks, in kHz.
std::vector<double> SampleRatesKHz(const ShortAudioDescriptor& audio);
// "1.0.0.0", or nothing without an HDMI vendor block.
std::optional<std::string> PhysicalAddress(const CtaExtension& cta);
// The descriptor's product name without the padding; nothing when empty.
std::optional<std::string> DisplayName(const EdidBaseBlock& base);
// Why the CTA block in this block of the table cannot be read whole; nothing
// when it can.
std::optional<std::string> MalformedReason(const DecodedEdid& decoded, std::size_t block);
