#include "edid/EdidDecode.h"

#include "edid/Checksum.h"
#include "edid/EdidDecodeParts.h"
#include "edid/EdidImage.h"
#include "edid/EdidManufacturers.h"

#include <algorithm>

namespace {

constexpr std::uint8_t kGammaInExtension = 0xFF;

std::string ManufacturerLetters(std::uint8_t high, std::uint8_t low) {
    const unsigned packed = (high << 8) | low;
    std::string letters;
    for (const int shift : {10, 5, 0}) {
        letters += static_cast<char>('A' - 1 + ((packed >> shift) & 0x1F));
    }
    return letters;
}

VideoInput DecodeVideoInput(std::uint8_t byte, std::uint8_t revision) {
    VideoInput input;
    input.digital = (byte & 0x80) != 0;
    if (!input.digital) {
        input.signalLevel = (byte >> 5) & 0x03;
        input.blankToBlackSetup = (byte & 0x10) != 0;
        input.separateSync = (byte & 0x08) != 0;
        input.compositeSync = (byte & 0x04) != 0;
        input.syncOnGreen = (byte & 0x02) != 0;
        input.serration = (byte & 0x01) != 0;
    } else if (revision >= 4) {
        const int depth = (byte >> 4) & 0x07;
        input.bitDepth = depth == 0 ? 0 : depth == 7 ? -1 : 4 + 2 * depth;
        const int interface = byte & 0x0F;
        input.interface =
            interface <= 5 ? static_cast<DigitalInterface>(interface) : DigitalInterface::Reserved;
    }
    return input;
}

DisplayFeatures DecodeFeatures(std::uint8_t byte) {
    DisplayFeatures features;
    features.standby = (byte & 0x80) != 0;
    features.suspend = (byte & 0x40) != 0;
    features.activeOff = (byte & 0x20) != 0;
    features.colourType = (byte >> 3) & 0x03;
    features.srgbDefault = (byte & 0x04) != 0;
    features.preferredTimingNative = (byte & 0x02) != 0;
    features.continuousFrequency = (byte & 0x01) != 0;
    return features;
}

Chromaticity DecodeChromaticity(const std::uint8_t* b) {
    const auto coordinate = [](std::uint8_t high, std::uint8_t lowBits, int shift) {
        return ((high << 2) | ((lowBits >> shift) & 0x03)) / 1024.0;
    };
    Chromaticity c;
    c.redX = coordinate(b[2], b[0], 6);
    c.redY = coordinate(b[3], b[0], 4);
    c.greenX = coordinate(b[4], b[0], 2);
    c.greenY = coordinate(b[5], b[0], 0);
    c.blueX = coordinate(b[6], b[1], 6);
    c.blueY = coordinate(b[7], b[1], 4);
    c.whiteX = coordinate(b[8], b[1], 2);
    c.whiteY = coordinate(b[9], b[1], 0);
    return c;
}

// Landscape ratios keep the height byte 0, portrait ones the width byte.
std::optional<double> AspectRatio(std::uint8_t width, std::uint8_t height, std::uint8_t revision) {
    if (revision < 4 || (width == 0) == (height == 0)) {
        return std::nullopt;
    }
    return height == 0 ? (width + 99) / 100.0 : 100.0 / (height + 99);
}

// Text descriptors shorter than 13 characters end at a line feed, padded
// with spaces after it; some displays end theirs with a zero byte instead.
// Spaces before the end are the text's own.
std::string DescriptorText(const std::uint8_t* data) {
    return std::string(data, std::find_if(data, data + kDescriptorTextLength, [](std::uint8_t c) {
                           return c == kDescriptorTextEnd || c == 0;
                       }));
}

RangeLimits DecodeRangeLimits(const std::uint8_t* d) {
    // EDID 1.4 lets byte 4 add 255 to a minimum or maximum rate.
    const auto offset = [&d](int shift, bool maximum) {
        const int code = (d[4] >> shift) & 0x03;
        return (code == 0x03 || (maximum && code == 0x02)) ? 255 : 0;
    };
    RangeLimits r;
    r.minVerticalHz = static_cast<std::uint16_t>(d[5] + offset(0, false));
    r.maxVerticalHz = static_cast<std::uint16_t>(d[6] + offset(0, true));
    r.minHorizontalKHz = static_cast<std::uint16_t>(d[7] + offset(2, false));
    r.maxHorizontalKHz = static_cast<std::uint16_t>(d[8] + offset(2, true));
    r.maxPixelClockMHz = static_cast<std::uint16_t>(d[9] * 10);
    r.timingSupport = d[10];
    return r;
}

DescriptorKind KindOfDescriptor(std::uint8_t tag) {
    switch (tag) {
    case 0xFF:
        return DescriptorKind::ProductSerial;
    case 0xFE:
        return DescriptorKind::Text;
    case 0xFD:
        return DescriptorKind::RangeLimits;
    case 0xFC:
        return DescriptorKind::ProductName;
    case 0xFB:
        return DescriptorKind::ColourPoint;
    case 0xFA:
        return DescriptorKind::StandardTimings;
    case 0xF9:
        return DescriptorKind::ColourManagement;
    case 0xF8:
        return DescriptorKind::CvtTimingCodes;
    case 0xF7:
        return DescriptorKind::EstablishedTimingsIII;
    case 0x10:
        return DescriptorKind::Dummy;
    default:
        return tag <= 0x0F ? DescriptorKind::Manufacturer : DescriptorKind::Reserved;
    }
}

DisplayDescriptor DecodeDisplayDescriptor(const std::uint8_t* d) {
    DisplayDescriptor descriptor;
    descriptor.tag = d[3];
    descriptor.kind = KindOfDescriptor(d[3]);
    switch (descriptor.kind) {
    case DescriptorKind::ProductSerial:
    case DescriptorKind::Text:
    case DescriptorKind::ProductName:
        descriptor.text = DescriptorText(d + 5);
        break;
    case DescriptorKind::RangeLimits:
        descriptor.rangeLimits = DecodeRangeLimits(d);
        break;
    default:
        break;
    }
    return descriptor;
}

void DecodeDescriptors(const std::uint8_t* block, EdidBaseBlock& base) {
    for (std::size_t i = 0; i < kDescriptorCount; ++i) {
        const std::uint8_t* d = block + DescriptorSlotOffset(i);
        if (d[0] != 0 || d[1] != 0) {
            base.detailedTimings.push_back(DecodeDetailedTiming(d));
            continue;
        }
        DisplayDescriptor descriptor = DecodeDisplayDescriptor(d);
        if (descriptor.kind == DescriptorKind::ProductName && base.productName.empty()) {
            base.productName = descriptor.text;
        }
        if (descriptor.kind == DescriptorKind::ProductSerial && base.serialText.empty()) {
            base.serialText = descriptor.text;
        }
        base.displayDescriptors.push_back(std::move(descriptor));
    }
}

EdidBaseBlock DecodeBaseBlock(const std::uint8_t* b) {
    EdidBaseBlock base;
    base.headerValid = StartsWithEdidHeader(b, kEdidBlockSize);
    base.manufacturerId = ManufacturerLetters(b[8], b[9]);
    base.manufacturerName = ManufacturerName(base.manufacturerId);
    base.productCode = static_cast<std::uint16_t>(b[10] | (b[11] << 8));
    base.serialNumber = static_cast<std::uint32_t>(b[12]) | (std::uint32_t{b[13]} << 8) |
                        (std::uint32_t{b[14]} << 16) | (std::uint32_t{b[15]} << 24);
    base.week = b[kWeekOffset];
    base.modelYear = b[kWeekOffset] == kModelYearWeek;
    base.year = kYearBase + b[kYearOffset];
    base.version = b[18];
    base.revision = b[kRevisionOffset];
    base.input = DecodeVideoInput(b[20], base.revision);
    base.screenWidthCm = b[21];
    base.screenHeightCm = b[22];
    base.aspectRatio = AspectRatio(b[21], b[22], base.revision);
    if (b[23] != kGammaInExtension) {
        base.gamma = (b[23] + 100) / 100.0;
    }
    base.features = DecodeFeatures(b[24]);
    base.chromaticity = DecodeChromaticity(b + 25);
    base.establishedTimings = DecodeEstablishedTimings(b + kEstablishedTimingsOffset);
    for (std::size_t i = 0; i < kStandardTimingCount; ++i) {
        StandardTiming timing;
        if (DecodeStandardTiming(b + kStandardTimingsOffset + 2 * i, base.revision, timing)) {
            base.standardTimings.push_back(timing);
        }
    }
    DecodeDescriptors(b, base);
    base.extensionCount = b[kExtensionCountOffset];
    base.checksum = BlockChecksum{b[kChecksumOffset], EDIDChkSum(b)};
    return base;
}

ExtensionKind KindOfExtension(std::uint8_t tag) {
    switch (tag) {
    case 0x02:
        return ExtensionKind::Cta861;
    case 0x10:
        return ExtensionKind::VideoTimingBlock;
    case 0x40:
        return ExtensionKind::DisplayInfo;
    case 0x50:
        return ExtensionKind::LocalisedString;
    case 0x60:
        return ExtensionKind::DigitalPacketVideoLink;
    case 0x70:
        return ExtensionKind::DisplayId;
    case 0xF0:
        return ExtensionKind::BlockMap;
    case 0xFF:
        return ExtensionKind::Manufacturer;
    default:
        return ExtensionKind::Other;
    }
}

} // namespace

DecodedEdid DecodeEdid(const std::uint8_t* table, std::size_t size) {
    DecodedEdid decoded;
    if (size < kEdidBlockSize) {
        decoded.problems.push_back(EdidProblem{EdidProblemKind::TooShort, 0, size});
        return decoded;
    }
    decoded.base = DecodeBaseBlock(table);

    const std::size_t declared = std::size_t{1} + decoded.base.extensionCount;
    const std::size_t held = size / kEdidBlockSize;
    if (held < declared) {
        decoded.problems.push_back(
            EdidProblem{EdidProblemKind::ExtensionsMissing, held, held * kEdidBlockSize});
    }
    for (std::size_t block = 1; block < std::min(declared, held); ++block) {
        const std::uint8_t* b = table + block * kEdidBlockSize;
        EdidExtension extension;
        extension.block = block;
        extension.tag = b[0];
        extension.kind = KindOfExtension(b[0]);
        extension.checksum = BlockChecksum{b[kChecksumOffset], EDIDChkSum(b)};
        if (extension.kind == ExtensionKind::Cta861) {
            extension.cta = DecodeCtaExtension(b, block, block * kEdidBlockSize, decoded.problems);
        }
        decoded.extensions.push_back(std::move(extension));
    }
    return decoded;
}
