#pragma once

#include "edid/EdidImage.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// Edits of what a table says. Each changes only the bytes of its own field,
// the bytes that must move with it and the checksums of the blocks it
// touched; an edit that cannot be made leaves the table as it was and says
// why. Tables are whole 128-byte blocks, as the decoder reads them.

enum class EdidEditOutcome {
    Done,
    NoBaseBlock,         // the table is shorter than one block
    ManufacturerInvalid, // not three letters A to Z
    ValueOutOfRange,     // a number the field cannot hold
    TextTooLong,         // more than the 13 characters of a descriptor
    TextInvalid,         // a character outside printable ASCII
    NoFreeDescriptor,    // no descriptor of that kind and no dummy slot
    FirstSlotNotTiming,  // the first descriptor slot holds other data
    NoTiming,            // no timing of that size and rate exists
    TimingTooLarge,      // a detailed timing descriptor cannot carry it
    NoCtaBlock,          // no CTA-861 extension of revision 3 or later
    CtaBlockBroken,      // its DTD offset or data block lengths are wrong
    VicUndefined,        // the CTA tables define no such VIC
    VicNotListed,        // the video data block does not list the VIC
    VicCannotBeNative,   // only VICs 1 to 64 carry the native flag
    NoRoom,              // the block has no room for the bytes
    NoHdmiBlock,         // no HDMI vendor-specific data block
    HdmiBlockTooShort,   // the block ends before the field
    NoRangeLimits,       // no range limits descriptor
};

// The audio an LPCM edit announces.
struct LpcmAudio {
    std::uint8_t channels = 2;    // 1 to 8
    std::uint8_t sampleRates = 0; // bit 0 32 kHz, 1 44.1, 2 48, 3 88.2, 4 96, 5 176.4, 6 192
    std::uint8_t sampleSizes = 0; // bit 0 16 bits, 1 20 bits, 2 24 bits
};

// Base block identity, bytes 8 to 17.
EdidEditOutcome SetManufacturer(EdidTable& table, const std::string& letters);
EdidEditOutcome SetProductCode(EdidTable& table, std::uint32_t code);
EdidEditOutcome SetSerialNumber(EdidTable& table, std::uint64_t serial);
// Week 0 leaves the week unstated; a week turns a model year into the
// year of manufacture.
EdidEditOutcome SetWeek(EdidTable& table, unsigned week);
EdidEditOutcome SetYear(EdidTable& table, unsigned year);
EdidEditOutcome SetModelYear(EdidTable& table, unsigned year);

// The product name (0xFC) and serial string (0xFF) descriptors: the first of
// that kind is rewritten, else the first free slot (a dummy descriptor, tag
// 0x10, or one left all zero) is taken.
EdidEditOutcome SetDisplayName(EdidTable& table, const std::string& text);
EdidEditOutcome SetSerialString(EdidTable& table, const std::string& text);

// The first descriptor slot becomes the standard timing of that size and
// rate, and the preferred timing bit of byte 24 is set.
EdidEditOutcome SetPreferredTiming(EdidTable& table, std::uint16_t width, std::uint16_t height,
                                   double refreshHz);

// The video data block of the first CTA-861 extension, created when missing
// (the data blocks after it and the DTD offset move). A removed SVD takes
// its mark in the YCbCr 4:2:0 capability map with it.
EdidEditOutcome AddVic(EdidTable& table, std::uint8_t vic);
EdidEditOutcome RemoveVic(EdidTable& table, std::uint8_t vic);
EdidEditOutcome MarkNativeVic(EdidTable& table, std::uint8_t vic);

// None: the basic audio bit off and every audio data block gone, with the
// speaker and vendor audio blocks that would contradict it. LPCM: the
// basic audio bit on and one audio data block with that one descriptor.
EdidEditOutcome SetNoAudio(EdidTable& table);
EdidEditOutcome SetLpcmAudio(EdidTable& table, const LpcmAudio& audio);

// The HDMI vendor-specific data block: physical address a.b.c.d (each 0 to
// 15) and the maximum TMDS clock, a multiple of 5 MHz up to 1275.
EdidEditOutcome SetPhysicalAddress(EdidTable& table, const std::array<std::uint8_t, 4>& address);
EdidEditOutcome SetMaxTmdsClock(EdidTable& table, unsigned mhz);

// Widens the range limits descriptor to cover every timing the table lists.
EdidEditOutcome FitRangeLimits(EdidTable& table);
