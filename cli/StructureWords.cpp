#include "cli/StructureWords.h"

std::string StructureProblemText(EdidProblemKind kind) {
    switch (kind) {
    case EdidProblemKind::TooShort:
        return "the table is cut short";
    case EdidProblemKind::ExtensionsMissing:
        return "byte 126 declares more extension blocks than the table holds";
    case EdidProblemKind::DataBlockOverrun:
        return "a CTA data block runs past the data block area";
    case EdidProblemKind::DtdOffsetInvalid:
        return "the CTA DTD offset lies outside the block";
    case EdidProblemKind::HeaderInvalid:
        return "the header is not 00 FF FF FF FF FF FF 00";
    case EdidProblemKind::ChecksumWrong:
        return "wrong checksum";
    case EdidProblemKind::ExtensionCountMismatch:
        return "the table holds more blocks than byte 126 declares";
    case EdidProblemKind::TimingOutsideRangeLimits:
        return "a listed timing lies outside the range limits";
    case EdidProblemKind::NameDescriptorMissing:
        return "no display name descriptor";
    case EdidProblemKind::DuplicateVic:
        return "a VIC listed twice";
    case EdidProblemKind::PixelClockZero:
        return "a detailed timing with a pixel clock of zero";
    case EdidProblemKind::PixelClockPastRangeLimit:
        return "a listed timing's pixel clock exceeds the range limits";
    }
    return "unknown problem";
}
