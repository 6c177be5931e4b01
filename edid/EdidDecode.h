#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What an EDID table says, as plain values: the front ends turn them into
// text or JSON. Values the table leaves undefined stay at their zero value.

struct BlockChecksum {
    std::uint8_t stored = 0;
    std::uint8_t computed = 0;

    bool Correct() const { return stored == computed; }
};

enum class SyncKind { AnalogComposite, BipolarAnalogComposite, DigitalComposite, DigitalSeparate };

struct DetailedTiming {
    std::uint32_t pixelClockKHz = 0;
    std::uint16_t hActive = 0;
    std::uint16_t hBlanking = 0;
    std::uint16_t hFrontPorch = 0;
    std::uint16_t hSyncWidth = 0;
    std::uint16_t vActive = 0; // lines of one field when interlaced
    std::uint16_t vBlanking = 0;
    std::uint16_t vFrontPorch = 0;
    std::uint16_t vSyncWidth = 0;
    std::uint16_t imageWidthMm = 0;
    std::uint16_t imageHeightMm = 0;
    std::uint8_t hBorder = 0;
    std::uint8_t vBorder = 0;
    bool interlaced = false;
    std::uint8_t stereo = 0; // bits 6, 5 and 0 of the flags byte; 0 or 1 is none
    SyncKind sync = SyncKind::DigitalSeparate;
    bool hSyncPositive = false;
    bool vSyncPositive = false; // digital separate sync only
    double refreshHz = 0.0;     // frames a second; fields when interlaced
};

enum class DescriptorKind {
    ProductSerial,         // 0xFF
    Text,                  // 0xFE
    RangeLimits,           // 0xFD
    ProductName,           // 0xFC
    ColourPoint,           // 0xFB
    StandardTimings,       // 0xFA
    ColourManagement,      // 0xF9
    CvtTimingCodes,        // 0xF8
    EstablishedTimingsIII, // 0xF7
    Dummy,                 // 0x10
    Manufacturer,          // 0x00 to 0x0F
    Reserved,
};

struct RangeLimits {
    std::uint16_t minVerticalHz = 0;
    std::uint16_t maxVerticalHz = 0;
    std::uint16_t minHorizontalKHz = 0;
    std::uint16_t maxHorizontalKHz = 0;
    std::uint16_t maxPixelClockMHz = 0;
    std::uint8_t timingSupport = 0; // 0 default GTF, 1 limits only, 2 secondary GTF, 4 CVT
};

struct DisplayDescriptor {
    std::uint8_t tag = 0;
    DescriptorKind kind = DescriptorKind::Reserved;
    std::string text; // serial, text and name descriptors, up to their line feed
    std::optional<RangeLimits> rangeLimits;
};

enum class DigitalInterface { Undefined, Dvi, HdmiA, HdmiB, Mddi, DisplayPort, Reserved };

struct VideoInput {
    bool digital = false;
    // Digital, EDID 1.4: bits per primary colour (0 undefined, -1 reserved).
    int bitDepth = 0;
    DigitalInterface interface = DigitalInterface::Undefined;
    // Analog.
    std::uint8_t signalLevel =
        0; // 0 = 0.700/0.300, 1 = 0.714/0.286, 2 = 1.000/0.400, 3 = 0.700/0.000
    bool blankToBlackSetup = false;
    bool separateSync = false;
    bool compositeSync = false;
    bool syncOnGreen = false;
    bool serration = false;
};

struct DisplayFeatures {
    bool standby = false;
    bool suspend = false;
    bool activeOff = false;
    std::uint8_t colourType = 0; // bits 4 and 3 of byte 24
    bool srgbDefault = false;
    bool preferredTimingNative = false;
    bool continuousFrequency = false; // 1.4; "GTF supported" in 1.3
};

struct Chromaticity {
    double redX = 0, redY = 0, greenX = 0, greenY = 0;
    double blueX = 0, blueY = 0, whiteX = 0, whiteY = 0;
};

struct TimingMode {
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    std::uint16_t refreshHz = 0;
};

struct StandardTiming {
    TimingMode mode;
    std::uint8_t aspectWidth = 0; // 16:10, 4:3, 5:4 or 16:9
    std::uint8_t aspectHeight = 0;
};

struct EdidBaseBlock {
    bool headerValid = false;
    std::uint8_t version = 0;
    std::uint8_t revision = 0;
    std::string manufacturerId;   // three letters
    std::string manufacturerName; // empty where not known
    std::uint16_t productCode = 0;
    std::uint32_t serialNumber = 0;
    std::uint8_t week = 0; // 0 not given, 0xFF when year is a model year
    bool modelYear = false;
    int year = 0;
    VideoInput input;
    std::uint8_t screenWidthCm = 0; // both 0: size unknown or variable
    std::uint8_t screenHeightCm = 0;
    // EDID 1.4 stores a width-to-height ratio instead of a size when one of
    // the two bytes is 0.
    std::optional<double> aspectRatio;
    std::optional<double> gamma; // empty when an extension gives it
    DisplayFeatures features;
    Chromaticity chromaticity;
    std::vector<TimingMode> establishedTimings;
    std::vector<StandardTiming> standardTimings;
    std::vector<DetailedTiming> detailedTimings;
    std::vector<DisplayDescriptor> displayDescriptors;
    std::string productName; // from the first product name descriptor
    std::string serialText;  // from the first product serial descriptor
    std::uint8_t extensionCount = 0;
    BlockChecksum checksum;
};

enum class ExtensionKind {
    Cta861,                 // 0x02
    VideoTimingBlock,       // 0x10
    DisplayInfo,            // 0x40
    LocalisedString,        // 0x50
    DigitalPacketVideoLink, // 0x60
    DisplayId,              // 0x70
    BlockMap,               // 0xF0
    Manufacturer,           // 0xFF
    Other,
};

struct ShortVideoDescriptor {
    std::uint8_t vic = 0;
    bool native = false;
    bool known = false; // whether the CTA tables define this VIC
    TimingMode mode;    // nominal refresh, e.g. 60 also for the 59.94 Hz variant
    bool interlaced = false;
};

struct ShortAudioDescriptor {
    std::uint8_t format = 0;         // 1 LPCM, 2 AC-3, ... 15 extended
    std::uint8_t extendedFormat = 0; // for format 15
    std::uint8_t channels = 0;
    std::uint8_t sampleRates = 0;     // bit 0 32 kHz, 1 44.1, 2 48, 3 88.2, 4 96, 5 176.4, 6 192
    std::uint8_t sampleSizes = 0;     // LPCM: bit 0 16 bits, 1 20 bits, 2 24 bits
    std::uint16_t maxBitrateKbps = 0; // formats 2 to 8
    std::uint8_t formatDependent = 0; // byte 3 as stored
};

struct HdmiVendorBlock {
    std::uint8_t physicalAddress[4] = {};
    std::optional<std::uint16_t> maxTmdsClockMHz; // empty where the block is too short
};

// From the HDMI Forum's vendor-specific block or its sink capability block.
struct HdmiForumBlock {
    std::uint8_t version = 0;
    std::uint16_t maxTmdsCharacterRateMHz = 0; // 0: no more than 340 MHz
};

struct HdrStaticMetadata {
    std::uint8_t eotfs = 0;                   // bit 0 SDR, 1 HDR, 2 SMPTE ST 2084, 3 HLG
    std::uint8_t descriptorTypes = 0;         // bit 0 static metadata type 1
    std::optional<std::uint8_t> maxLuminance; // code values as stored
    std::optional<std::uint8_t> maxFrameAverageLuminance;
    std::optional<std::uint8_t> minLuminance;
};

enum class CtaDataBlockKind {
    Audio,
    Video,
    VendorSpecific,
    SpeakerAllocation,
    VesaDisplayTransferCharacteristic,
    VideoCapability,
    VendorSpecificVideo,
    VesaDisplayDevice,
    VesaVideoTimingBlock,
    Colorimetry,
    HdrStaticMetadata,
    HdrDynamicMetadata,
    VideoFormatPreference,
    YCbCr420Video,
    YCbCr420CapabilityMap,
    VendorSpecificAudio,
    RoomConfiguration,
    SpeakerLocation,
    InfoFrame,
    HdmiForumEdidExtensionOverride,
    HdmiForumSinkCapability,
    Unknown, // listed by tag, extended tag and length only
};

struct CtaDataBlock {
    CtaDataBlockKind kind = CtaDataBlockKind::Unknown;
    std::uint8_t tag = 0;
    std::optional<std::uint8_t> extendedTag;
    std::size_t offset = 0; // of the block's header byte, in the whole table
    std::size_t length = 0; // payload bytes after the header byte
    std::uint32_t oui = 0;  // vendor-specific blocks
};

struct CtaExtension {
    std::uint8_t revision = 0;
    bool underscan = false;
    bool basicAudio = false;
    bool ycbcr444 = false;
    bool ycbcr422 = false;
    std::uint8_t nativeDtdCount = 0;
    std::vector<CtaDataBlock> dataBlocks;
    std::vector<ShortVideoDescriptor> videoDescriptors;
    std::vector<ShortAudioDescriptor> audioDescriptors;
    std::optional<std::uint32_t> speakerAllocation; // the three payload bytes, first in bits 0-7
    std::optional<HdmiVendorBlock> hdmi;
    std::optional<HdmiForumBlock> hdmiForum;
    std::optional<std::uint16_t> colorimetry; // payload byte 1 in bits 0-7, byte 2 in bits 8-15
    std::optional<HdrStaticMetadata> hdrStaticMetadata;
    std::vector<ShortVideoDescriptor> ycbcr420OnlyVideo;
    std::vector<std::uint8_t> ycbcr420CapableVics; // the SVDs a capability map marks
    std::vector<DetailedTiming> detailedTimings;
};

struct EdidExtension {
    std::size_t block = 0; // 1 for the first extension
    std::uint8_t tag = 0;
    ExtensionKind kind = ExtensionKind::Other;
    BlockChecksum checksum;
    std::optional<CtaExtension> cta;
};

enum class EdidProblemKind {
    TooShort,          // fewer than 128 bytes, or a block cut short
    ExtensionsMissing, // byte 126 declares more blocks than the table holds
    DataBlockOverrun,  // a CTA data block's length runs past the data block area
    DtdOffsetInvalid,  // the CTA DTD offset lies outside the block
    // Found by the structural checks only, not by the decoder.
    HeaderInvalid,            // bytes 0 to 7 are not the fixed header
    ChecksumWrong,            // a block does not sum to zero
    ExtensionCountMismatch,   // the table holds more blocks than byte 126 declares
    TimingOutsideRangeLimits, // a listed timing's rates lie outside the range limits
    NameDescriptorMissing,    // no product name descriptor
    DuplicateVic,             // a CTA block lists a VIC twice
    PixelClockZero,           // a detailed timing with a pixel clock of zero
    PixelClockPastRangeLimit, // a listed timing faster than the range limits allow
};

struct EdidProblem {
    EdidProblemKind kind = EdidProblemKind::TooShort;
    std::size_t block = 0;
    std::size_t offset = 0; // in the whole table
};

struct DecodedEdid {
    EdidBaseBlock base;
    std::vector<EdidExtension> extensions; // the declared blocks the table holds
    std::vector<EdidProblem> problems;
};

// Decodes the blocks that byte 126 declares, as far as the table holds them.
// Never reads outside table[0, size).
DecodedEdid DecodeEdid(const std::uint8_t* table, std::size_t size);

inline DecodedEdid DecodeEdid(const std::vector<std::uint8_t>& table) {
    return DecodeEdid(table.data(), table.size());
}
