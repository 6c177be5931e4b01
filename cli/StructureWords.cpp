#include "cli/StructureWords.h"

#include "cli/UnitWords.h"

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

std::string ProblemText(const DecodedEdid& decoded, const EdidProblem& problem) {
    switch (problem.kind) {
    case EdidProblemKind::TooShort:
        return "too short: " + std::to_string(problem.offset) + " bytes, less than one block";
    case EdidProblemKind::ExtensionsMissing:
        return "truncated: byte 126 declares " +
               std::to_string(std::size_t{1} + decoded.base.extensionCount) +
               " blocks, the table holds " + std::to_string(problem.block);
    case EdidProblemKind::DataBlockOverrun:
        return "the data block at " + HexOffset(problem.offset) +
               " runs past the end of the data block area";
    case EdidProblemKind::DtdOffsetInvalid:
        return "the detailed timing offset at " + HexOffset(problem.offset) +
               " lies outside the block";
    default:
        return StructureProblemText(problem.kind);
    }
}
