#include "edid/EdidProblemName.h"

const char* EdidProblemName(EdidProblemKind kind) {
    switch (kind) {
    case EdidProblemKind::TooShort:
        return "table_too_short";
    case EdidProblemKind::ExtensionsMissing:
        return "extensions_missing";
    case EdidProblemKind::DataBlockOverrun:
        return "cta_data_block_length";
    case EdidProblemKind::DtdOffsetInvalid:
        return "cta_dtd_offset";
    case EdidProblemKind::HeaderInvalid:
        return "header";
    case EdidProblemKind::ChecksumWrong:
        return "checksum";
    case EdidProblemKind::ExtensionCountMismatch:
        return "extension_count";
    case EdidProblemKind::TimingOutsideRangeLimits:
        return "timing_outside_range_limits";
    case EdidProblemKind::NameDescriptorMissing:
        return "name_descriptor_missing";
    case EdidProblemKind::DuplicateVic:
        return "duplicate_vic";
    case EdidProblemKind::PixelClockZero:
        return "dtd_pixel_clock_zero";
    case EdidProblemKind::PixelClockPastRangeLimit:
        return "pixel_clock_past_range_limits";
    }
    return "unknown";
}
