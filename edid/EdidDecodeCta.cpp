#include "edid/EdidDecodeParts.h"
#include "edid/EdidImage.h"
#include "edid/EdidVicTable.h"

namespace {

constexpr std::size_t kAudioDescriptorLength = 3;
constexpr std::uint8_t kExtendedAudioFormat = 15;
constexpr std::uint32_t kHdmiForumOui = 0xC45DD8;

enum Tag : std::uint8_t {
    kAudioTag = kCtaAudioTag,
    kVideoTag = kCtaVideoTag,
    kVendorTag = 3,
    kSpeakerTag = 4,
    kVesaTransferTag = 5,
    kExtendedTag = 7,
};

CtaDataBlockKind KindOfExtendedTag(std::uint8_t tag) {
    switch (tag) {
    case 0:
        return CtaDataBlockKind::VideoCapability;
    case 1:
        return CtaDataBlockKind::VendorSpecificVideo;
    case 2:
        return CtaDataBlockKind::VesaDisplayDevice;
    case 3:
        return CtaDataBlockKind::VesaVideoTimingBlock;
    case 5:
        return CtaDataBlockKind::Colorimetry;
    case 6:
        return CtaDataBlockKind::HdrStaticMetadata;
    case 7:
        return CtaDataBlockKind::HdrDynamicMetadata;
    case 13:
        return CtaDataBlockKind::VideoFormatPreference;
    case 14:
        return CtaDataBlockKind::YCbCr420Video;
    case 15:
        return CtaDataBlockKind::YCbCr420CapabilityMap;
    case 17:
        return CtaDataBlockKind::VendorSpecificAudio;
    case 19:
        return CtaDataBlockKind::RoomConfiguration;
    case 20:
        return CtaDataBlockKind::SpeakerLocation;
    case 32:
        return CtaDataBlockKind::InfoFrame;
    case 120:
        return CtaDataBlockKind::HdmiForumEdidExtensionOverride;
    case 121:
        return CtaDataBlockKind::HdmiForumSinkCapability;
    default:
        return CtaDataBlockKind::Unknown;
    }
}

CtaDataBlockKind KindOfTag(std::uint8_t tag) {
    switch (tag) {
    case kAudioTag:
        return CtaDataBlockKind::Audio;
    case kVideoTag:
        return CtaDataBlockKind::Video;
    case kVendorTag:
        return CtaDataBlockKind::VendorSpecific;
    case kSpeakerTag:
        return CtaDataBlockKind::SpeakerAllocation;
    case kVesaTransferTag:
        return CtaDataBlockKind::VesaDisplayTransferCharacteristic;
    default:
        return CtaDataBlockKind::Unknown;
    }
}

ShortVideoDescriptor DecodeSvd(std::uint8_t byte) {
    ShortVideoDescriptor svd;
    svd.native = IsNativeSvd(byte);
    svd.vic = SvdVic(byte);
    LookUpVic(svd);
    return svd;
}

ShortAudioDescriptor DecodeSad(const std::uint8_t* s) {
    ShortAudioDescriptor sad;
    sad.format = (s[0] >> 3) & 0x0F;
    sad.channels = static_cast<std::uint8_t>((s[0] & 0x07) + 1);
    sad.sampleRates = s[1] & 0x7F;
    sad.formatDependent = s[2];
    if (sad.format == 1) {
        sad.sampleSizes = s[2] & 0x07;
    } else if (sad.format >= 2 && sad.format <= 8) {
        sad.maxBitrateKbps = static_cast<std::uint16_t>(s[2] * 8);
    } else if (sad.format == kExtendedAudioFormat) {
        sad.extendedFormat = s[2] >> 3;
    }
    return sad;
}

std::uint32_t Oui(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0] | (p[1] << 8) | (p[2] << 16));
}

// payload: the bytes after the header byte; length counts them.
void DecodeVendorBlock(const std::uint8_t* payload, std::size_t length, CtaDataBlock& block,
                       CtaExtension& cta) {
    if (length < 3) {
        return;
    }
    block.oui = Oui(payload);
    if (block.oui == kHdmiOui && length >= 5) {
        HdmiVendorBlock hdmi;
        hdmi.physicalAddress[0] = payload[3] >> 4;
        hdmi.physicalAddress[1] = payload[3] & 0x0F;
        hdmi.physicalAddress[2] = payload[4] >> 4;
        hdmi.physicalAddress[3] = payload[4] & 0x0F;
        if (length >= 7) {
            hdmi.maxTmdsClockMHz = static_cast<std::uint16_t>(payload[6] * kTmdsUnitMHz);
        }
        cta.hdmi = hdmi;
    } else if (block.oui == kHdmiForumOui && length >= 5) {
        cta.hdmiForum =
            HdmiForumBlock{payload[3], static_cast<std::uint16_t>(payload[4] * kTmdsUnitMHz)};
    }
}

// payload starts at the extended tag byte.
void DecodeExtendedBlock(const std::uint8_t* payload, std::size_t length, CtaExtension& cta,
                         std::vector<std::uint8_t>& capabilityMap, bool& mapsAll) {
    switch (KindOfExtendedTag(payload[0])) {
    case CtaDataBlockKind::Colorimetry:
        if (length >= 3) {
            cta.colorimetry = static_cast<std::uint16_t>(payload[1] | (payload[2] << 8));
        }
        break;
    case CtaDataBlockKind::HdrStaticMetadata:
        if (length >= 3) {
            HdrStaticMetadata hdr;
            hdr.eotfs = payload[1];
            hdr.descriptorTypes = payload[2];
            if (length >= 4) {
                hdr.maxLuminance = payload[3];
            }
            if (length >= 5) {
                hdr.maxFrameAverageLuminance = payload[4];
            }
            if (length >= 6) {
                hdr.minLuminance = payload[5];
            }
            cta.hdrStaticMetadata = hdr;
        }
        break;
    case CtaDataBlockKind::YCbCr420Video:
        for (std::size_t i = 1; i < length; ++i) {
            cta.ycbcr420OnlyVideo.push_back(DecodeSvd(payload[i]));
        }
        break;
    case CtaDataBlockKind::YCbCr420CapabilityMap:
        // A map without bitmap bytes marks every SVD.
        mapsAll = mapsAll || length == 1;
        capabilityMap.insert(capabilityMap.end(), payload + 1, payload + length);
        break;
    case CtaDataBlockKind::HdmiForumSinkCapability:
        // Laid out as the HDMI Forum's vendor block, with two reserved bytes
        // where that block has its OUI after the tag.
        if (length >= 5) {
            cta.hdmiForum =
                HdmiForumBlock{payload[3], static_cast<std::uint16_t>(payload[4] * kTmdsUnitMHz)};
        }
        break;
    default:
        break;
    }
}

void DecodeDataBlocks(const std::uint8_t* block, std::size_t end, std::size_t blockIndex,
                      std::size_t blockOffset, CtaExtension& cta,
                      std::vector<EdidProblem>& problems) {
    std::vector<std::uint8_t> capabilityMap;
    bool mapsAll = false;
    std::size_t pos = kCtaDataBlocksStart;
    while (pos < end) {
        CtaDataBlock data;
        data.tag = block[pos] >> 5;
        data.length = block[pos] & 0x1F;
        data.offset = blockOffset + pos;
        if (pos + 1 + data.length > end) {
            problems.push_back(
                EdidProblem{EdidProblemKind::DataBlockOverrun, blockIndex, data.offset});
            break;
        }
        const std::uint8_t* payload = block + pos + 1;
        data.kind = KindOfTag(data.tag);
        if (data.tag == kExtendedTag && data.length >= 1) {
            data.extendedTag = payload[0];
            data.kind = KindOfExtendedTag(payload[0]);
            DecodeExtendedBlock(payload, data.length, cta, capabilityMap, mapsAll);
        } else if (data.tag == kVideoTag) {
            for (std::size_t i = 0; i < data.length; ++i) {
                cta.videoDescriptors.push_back(DecodeSvd(payload[i]));
            }
        } else if (data.tag == kAudioTag) {
            for (std::size_t i = 0; i + kAudioDescriptorLength <= data.length;
                 i += kAudioDescriptorLength) {
                cta.audioDescriptors.push_back(DecodeSad(payload + i));
            }
        } else if (data.tag == kSpeakerTag && data.length >= 3) {
            cta.speakerAllocation = Oui(payload);
        } else if (data.tag == kVendorTag) {
            DecodeVendorBlock(payload, data.length, data, cta);
        }
        cta.dataBlocks.push_back(data);
        pos += 1 + data.length;
    }
    for (std::size_t i = 0; i < cta.videoDescriptors.size(); ++i) {
        const bool marked =
            i / 8 < capabilityMap.size() && (capabilityMap[i / 8] & (1u << (i % 8))) != 0;
        if (mapsAll || marked) {
            cta.ycbcr420CapableVics.push_back(cta.videoDescriptors[i].vic);
        }
    }
}

} // namespace

CtaExtension DecodeCtaExtension(const std::uint8_t* block, std::size_t blockIndex,
                                std::size_t blockOffset, std::vector<EdidProblem>& problems) {
    CtaExtension cta;
    cta.revision = block[1];
    const std::size_t dtdOffset = block[kCtaDtdOffsetByte];
    if (cta.revision >= 2) {
        const std::uint8_t flags = block[kCtaFlagsByte];
        cta.underscan = (flags & 0x80) != 0;
        cta.basicAudio = (flags & 0x40) != 0;
        cta.ycbcr444 = (flags & 0x20) != 0;
        cta.ycbcr422 = (flags & 0x10) != 0;
        cta.nativeDtdCount = flags & 0x0F;
    }
    // Offset 0 means the block holds neither data blocks nor DTDs.
    if (dtdOffset == 0) {
        return cta;
    }
    if (dtdOffset < kCtaDataBlocksStart || dtdOffset >= kChecksumOffset) {
        problems.push_back(EdidProblem{EdidProblemKind::DtdOffsetInvalid, blockIndex,
                                       blockOffset + kCtaDtdOffsetByte});
        return cta;
    }
    if (cta.revision >= 3) {
        DecodeDataBlocks(block, dtdOffset, blockIndex, blockOffset, cta, problems);
    }
    for (std::size_t pos = dtdOffset; pos + kDescriptorLength <= kChecksumOffset;
         pos += kDescriptorLength) {
        if (block[pos] == 0 && block[pos + 1] == 0) {
            break;
        }
        cta.detailedTimings.push_back(DecodeDetailedTiming(block + pos));
    }
    return cta;
}
