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
