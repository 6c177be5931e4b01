#include "cli/EditWords.h"

std::string EditOutcomeText(EdidEditOutcome outcome) {
    switch (outcome) {
    case EdidEditOutcome::Done:
        return "done";
    case EdidEditOutcome::NoBaseBlock:
        return "the table is shorter than one block";
    case EdidEditOutcome::ManufacturerInvalid:
        return "a manufacturer ID is three letters A to Z";
    case EdidEditOutcome::ValueOutOfRange:
        return "the field cannot hold that value";
    case EdidEditOutcome::TextTooLong:
        return "a descriptor holds 13 characters at most";
    case EdidEditOutcome::TextInvalid:
        return "a descriptor holds printable ASCII characters only";
    case EdidEditOutcome::NoFreeDescriptor:
        return "no descriptor of that kind and no free (dummy) descriptor slot";
    case EdidEditOutcome::FirstSlotNotTiming:
        return "the first descriptor slot holds a display descriptor, not a timing";
    case EdidEditOutcome::NoTiming:
        return "no timing has that size and refresh rate";
    case EdidEditOutcome::TimingTooLarge:
        return "a detailed timing descriptor cannot hold that timing";
    case EdidEditOutcome::NoCtaBlock:
        return "the table has no CTA-861 extension of revision 3 or later";
    case EdidEditOutcome::CtaBlockBroken:
        return "the CTA-861 extension's DTD offset or data block lengths are wrong";
    case EdidEditOutcome::VicUndefined:
        return "the CTA-861 tables define no such VIC";
    case EdidEditOutcome::VicNotListed:
        return "the video data block does not list that VIC";
    case EdidEditOutcome::VicCannotBeNative:
        return "only VICs 1 to 64 can be marked native";
    case EdidEditOutcome::NoRoom:
        return "the CTA-861 extension has no room for it";
    case EdidEditOutcome::NoHdmiBlock:
        return "the table has no HDMI vendor-specific data block";
    case EdidEditOutcome::HdmiBlockTooShort:
        return "the HDMI vendor-specific data block is too short for that field";
    case EdidEditOutcome::NoRangeLimits:
        return "the table has no range limits descriptor";
    }
    return "unknown reason";
}

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
        return "a detailed timing lies outside the range limits";
    case EdidProblemKind::NameDescriptorMissing:
        return "no display name descriptor";
    case EdidProblemKind::DuplicateVic:
        return "a VIC listed twice";
    case EdidProblemKind::PixelClockZero:
        return "a detailed timing with a pixel clock of zero";
    case EdidProblemKind::PixelClockPastRangeLimit:
        return "a detailed timing's pixel clock exceeds the range limits";
    }
    return "unknown problem";
}
