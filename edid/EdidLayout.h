#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>

// Where an EDID table keeps what: the offsets and sizes that more than one
// part of the program reads or writes. Offsets in the base block count from
// its first byte, those of an extension block from the block's first byte.

// Blocks of 128 bytes, each with its checksum in its last byte; the unit
// holds two of them.
inline constexpr std::size_t kEdidBlockSize = 128;
inline constexpr std::size_t kEdidSize = 256;
inline constexpr std::size_t kEdidBlockCount = kEdidSize / kEdidBlockSize;
inline constexpr std::size_t kChecksumOffset = kEdidBlockSize - 1;

// Whether the byte at offset, in a table of whole blocks, is a block's checksum.
inline constexpr bool IsChecksumByte(std::size_t offset) {
    return offset % kEdidBlockSize == kChecksumOffset;
}

// The fixed header that starts every base block.
inline constexpr std::uint8_t kEdidHeader[] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};

inline bool StartsWithEdidHeader(const std::uint8_t* bytes, std::size_t size) {
    return size >= std::size(kEdidHeader) &&
           std::equal(std::begin(kEdidHeader), std::end(kEdidHeader), bytes);
}

// The base block.
inline constexpr std::size_t kWeekOffset = 16;
inline constexpr std::size_t kYearOffset = 17;
inline constexpr std::size_t kRevisionOffset = 19;
inline constexpr std::size_t kEstablishedTimingsOffset = 35;
inline constexpr std::size_t kStandardTimingsOffset = 38;
inline constexpr std::size_t kStandardTimingCount = 8;
inline constexpr std::size_t kFirstDescriptorOffset = 54;
inline constexpr std::size_t kDescriptorCount = 4;
inline constexpr std::size_t kDescriptorLength = 18;
inline constexpr std::size_t kExtensionCountOffset = 126;

// Years count from 1990; a week of 0xFF makes the year a model year.
inline constexpr int kYearBase = 1990;
inline constexpr std::uint8_t kModelYearWeek = 0xFF;

// Display descriptors: the tag in byte 3, text from byte 5, 13 characters
// at most, ended by a line feed when shorter.
inline constexpr std::uint8_t kSerialDescriptorTag = 0xFF;
inline constexpr std::uint8_t kRangeLimitsTag = 0xFD;
inline constexpr std::uint8_t kNameDescriptorTag = 0xFC;
inline constexpr std::uint8_t kDummyDescriptorTag = 0x10;
inline constexpr std::size_t kDescriptorTextLength = 13;
inline constexpr std::uint8_t kDescriptorTextEnd = 0x0A;

inline constexpr std::size_t DescriptorSlotOffset(std::size_t slot) {
    return kFirstDescriptorOffset + slot * kDescriptorLength;
}

// A CTA-861 extension block: the offset of its detailed timings in byte 2,
// its flags in byte 3, its data blocks from byte 4 up to those timings.
inline constexpr std::size_t kCtaDtdOffsetByte = 2;
inline constexpr std::size_t kCtaFlagsByte = 3;
inline constexpr std::size_t kCtaDataBlocksStart = 4;
inline constexpr std::uint8_t kCtaAudioTag = 1;
inline constexpr std::uint8_t kCtaVideoTag = 2;

// A short video descriptor of VIC 1 to 64 marks the VIC native with bit 7;
// the other bytes are the VIC itself.
inline constexpr std::uint8_t kSvdNativeFlag = 0x80;
inline constexpr std::uint8_t kLastNativeVic = 64;

inline constexpr bool IsNativeSvd(std::uint8_t svd) {
    return svd > kSvdNativeFlag && svd <= kSvdNativeFlag + kLastNativeVic;
}

inline constexpr std::uint8_t SvdVic(std::uint8_t svd) {
    return IsNativeSvd(svd) ? static_cast<std::uint8_t>(svd & ~kSvdNativeFlag) : svd;
}

// The HDMI vendor-specific data block, by its OUI; it gives the maximum
// TMDS clock in units of 5 MHz, as the HDMI Forum's blocks do.
inline constexpr std::uint32_t kHdmiOui = 0x000C03;
inline constexpr unsigned kTmdsUnitMHz = 5;

// The table as hexadecimal text: 16 values a line.
inline constexpr std::size_t kHexBytesPerLine = 16;

// Editors on Windows put a UTF-8 byte-order mark before a text; it is no
// part of the table.
inline constexpr std::uint8_t kUtf8ByteOrderMark[] = {0xEF, 0xBB, 0xBF};

inline bool StartsWithByteOrderMark(const std::uint8_t* bytes, std::size_t size) {
    return size >= std::size(kUtf8ByteOrderMark) &&
           std::equal(std::begin(kUtf8ByteOrderMark), std::end(kUtf8ByteOrderMark), bytes);
}
