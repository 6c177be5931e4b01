#include "app/TableDetailsWords.h"

#include <QCoreApplication>

namespace {

// The texts are marked where they stand, so that lupdate finds them.
QString Words(const char* text) {
    return QCoreApplication::translate("TableDetailsWindow", text);
}

} // namespace

QString EditRefusalWords(EdidEditOutcome outcome) {
    switch (outcome) {
    case EdidEditOutcome::Done:
        return Words(QT_TRANSLATE_NOOP("TableDetailsWindow", "done"));
    case EdidEditOutcome::NoBaseBlock:
        return Words(
            QT_TRANSLATE_NOOP("TableDetailsWindow", "the table is shorter than one block"));
    case EdidEditOutcome::ManufacturerInvalid:
        return Words(
            QT_TRANSLATE_NOOP("TableDetailsWindow", "a manufacturer ID is three letters A to Z"));
    case EdidEditOutcome::ValueOutOfRange:
        return Words(QT_TRANSLATE_NOOP("TableDetailsWindow", "the field cannot hold that value"));
    case EdidEditOutcome::TextTooLong:
        return Words(
            QT_TRANSLATE_NOOP("TableDetailsWindow", "a descriptor holds 13 characters at most"));
    case EdidEditOutcome::TextInvalid:
        return Words(QT_TRANSLATE_NOOP("TableDetailsWindow",
                                       "a descriptor holds printable ASCII characters only"));
    case EdidEditOutcome::NoFreeDescriptor:
        return Words(
            QT_TRANSLATE_NOOP("TableDetailsWindow",
                              "no descriptor of that kind and no free (dummy) descriptor slot"));
    case EdidEditOutcome::FirstSlotNotTiming:
        return Words(QT_TRANSLATE_NOOP(
            "TableDetailsWindow",
            "the first descriptor slot holds a display descriptor, not a timing"));
    case EdidEditOutcome::NoTiming:
        return Words(
            QT_TRANSLATE_NOOP("TableDetailsWindow", "no timing has that size and refresh rate"));
    case EdidEditOutcome::TimingTooLarge:
        return Words(QT_TRANSLATE_NOOP("TableDetailsWindow",
                                       "a detailed timing descriptor cannot hold that timing"));
    case EdidEditOutcome::NoCtaBlock:
        return Words(QT_TRANSLATE_NOOP(
            "TableDetailsWindow", "the table has no CTA-861 extension of revision 3 or later"));
    case EdidEditOutcome::CtaBlockBroken:
        return Words(QT_TRANSLATE_NOOP(
            "TableDetailsWindow",
            "the CTA-861 extension's DTD offset or data block lengths are wrong"));
    case EdidEditOutcome::VicUndefined:
        return Words(
            QT_TRANSLATE_NOOP("TableDetailsWindow", "the CTA-861 tables define no such VIC"));
    case EdidEditOutcome::VicNotListed:
        return Words(
            QT_TRANSLATE_NOOP("TableDetailsWindow", "the video data block does not list that VIC"));
    case EdidEditOutcome::VicCannotBeNative:
        return Words(
            QT_TRANSLATE_NOOP("TableDetailsWindow", "only VICs 1 to 64 can be marked native"));
    case EdidEditOutcome::NoRoom:
        return Words(
            QT_TRANSLATE_NOOP("TableDetailsWindow", "the CTA-861 extension has no room for it"));
    case EdidEditOutcome::NoHdmiBlock:
        return Words(QT_TRANSLATE_NOOP("TableDetailsWindow",
                                       "the table has no HDMI vendor-specific data block"));
    case EdidEditOutcome::HdmiBlockTooShort:
        return Words(
            QT_TRANSLATE_NOOP("TableDetailsWindow",
                              "the HDMI vendor-specific data block is too short for that field"));
    case EdidEditOutcome::NoRangeLimits:
        return Words(
            QT_TRANSLATE_NOOP("TableDetailsWindow", "the table has no range limits descriptor"));
    }
    return Words(QT_TRANSLATE_NOOP("TableDetailsWindow", "unknown reason"));
}

QString StructureProblemWords(EdidProblemKind kind) {
    switch (kind) {
    case EdidProblemKind::TooShort:
        return Words(QT_TRANSLATE_NOOP("TableDetailsWindow", "the table is cut short"));
    case EdidProblemKind::ExtensionsMissing:
        return Words(
            QT_TRANSLATE_NOOP("TableDetailsWindow", "more extension blocks declared than held"));
    case EdidProblemKind::DataBlockOverrun:
        return Words(QT_TRANSLATE_NOOP("TableDetailsWindow",
                                       "a CTA data block runs past the data block area"));
    case EdidProblemKind::DtdOffsetInvalid:
        return Words(
            QT_TRANSLATE_NOOP("TableDetailsWindow", "the CTA DTD offset lies outside the block"));
    case EdidProblemKind::HeaderInvalid:
        return Words(QT_TRANSLATE_NOOP("TableDetailsWindow", "the header is wrong"));
    case EdidProblemKind::ChecksumWrong:
        return Words(QT_TRANSLATE_NOOP("TableDetailsWindow", "wrong checksum"));
    case EdidProblemKind::ExtensionCountMismatch:
        return Words(QT_TRANSLATE_NOOP("TableDetailsWindow", "more blocks held than declared"));
    case EdidProblemKind::TimingOutsideRangeLimits:
        return Words(
            QT_TRANSLATE_NOOP("TableDetailsWindow", "a listed timing outside the range limits"));
    case EdidProblemKind::NameDescriptorMissing:
        return Words(QT_TRANSLATE_NOOP("TableDetailsWindow", "no display name descriptor"));
    case EdidProblemKind::DuplicateVic:
        return Words(QT_TRANSLATE_NOOP("TableDetailsWindow", "a VIC listed twice"));
    case EdidProblemKind::PixelClockZero:
        return Words(QT_TRANSLATE_NOOP("TableDetailsWindow",
                                       "a detailed timing with a pixel clock of zero"));
    case EdidProblemKind::PixelClockPastRangeLimit:
        return Words(QT_TRANSLATE_NOOP("TableDetailsWindow",
                                       "a listed timing's pixel clock past the range limits"));
    }
    return Words(QT_TRANSLATE_NOOP("TableDetailsWindow", "unknown problem"));
}
