#include "edid/EdidNames.h"

#include <cstdio>
#include <iterator>

const char* ExtensionName(ExtensionKind kind) {
    switch (kind) {
    case ExtensionKind::Cta861:
        return "CTA-861";
    case ExtensionKind::VideoTimingBlock:
        return "video timing block";
    case ExtensionKind::DisplayInfo:
        return "display information";
    case ExtensionKind::LocalisedString:
        return "localised string";
    case ExtensionKind::DigitalPacketVideoLink:
        return "digital packet video link";
    case ExtensionKind::DisplayId:
        return "DisplayID";
    case ExtensionKind::BlockMap:
        return "block map";
    case ExtensionKind::Manufacturer:
        return "manufacturer-specific";
    case ExtensionKind::Other:
        break;
    }
    return "unknown extension";
}

const char* CtaDataBlockName(CtaDataBlockKind kind) {
    switch (kind) {
    case CtaDataBlockKind::Audio:
        return "audio";
    case CtaDataBlockKind::Video:
        return "video";
    case CtaDataBlockKind::VendorSpecific:
        return "vendor-specific";
    case CtaDataBlockKind::SpeakerAllocation:
        return "speaker allocation";
    case CtaDataBlockKind::VesaDisplayTransferCharacteristic:
        return "VESA display transfer characteristic";
    case CtaDataBlockKind::VideoCapability:
        return "video capability";
    case CtaDataBlockKind::VendorSpecificVideo:
        return "vendor-specific video";
    case CtaDataBlockKind::VesaDisplayDevice:
        return "VESA display device";
    case CtaDataBlockKind::VesaVideoTimingBlock:
        return "VESA video timing block";
    case CtaDataBlockKind::Colorimetry:
        return "colorimetry";
    case CtaDataBlockKind::HdrStaticMetadata:
        return "HDR static metadata";
    case CtaDataBlockKind::HdrDynamicMetadata:
        return "HDR dynamic metadata";
    case CtaDataBlockKind::VideoFormatPreference:
        return "video format preference";
    case CtaDataBlockKind::YCbCr420Video:
        return "YCbCr 4:2:0 video";
    case CtaDataBlockKind::YCbCr420CapabilityMap:
        return "YCbCr 4:2:0 capability map";
    case CtaDataBlockKind::VendorSpecificAudio:
        return "vendor-specific audio";
    case CtaDataBlockKind::RoomConfiguration:
        return "room configuration";
    case CtaDataBlockKind::SpeakerLocation:
        return "speaker location";
    case CtaDataBlockKind::InfoFrame:
        return "InfoFrame";
    case CtaDataBlockKind::HdmiForumEdidExtensionOverride:
        return "HDMI Forum EDID extension override";
    case CtaDataBlockKind::HdmiForumSinkCapability:
        return "HDMI Forum sink capability";
    case CtaDataBlockKind::Unknown:
        break;
    }
    return "unknown";
}

const char* DescriptorName(DescriptorKind kind) {
    switch (kind) {
    case DescriptorKind::ProductSerial:
        return "product serial";
    case DescriptorKind::Text:
        return "text";
    case DescriptorKind::RangeLimits:
        return "range limits";
    case DescriptorKind::ProductName:
        return "product name";
    case DescriptorKind::ColourPoint:
        return "colour point";
    case DescriptorKind::StandardTimings:
        return "standard timings";
    case DescriptorKind::ColourManagement:
        return "colour management";
    case DescriptorKind::CvtTimingCodes:
        return "CVT timing codes";
    case DescriptorKind::EstablishedTimingsIII:
        return "established timings III";
    case DescriptorKind::Dummy:
        return "dummy";
    case DescriptorKind::Manufacturer:
        return "manufacturer-specific";
    case DescriptorKind::Reserved:
        break;
    }
    return "reserved";
}

const char* AudioFormatName(std::uint8_t format) {
    static const char* const kNames[] = {
        "reserved", "LPCM", "AC-3",   "MPEG-1", "MP3", "MPEG-2", "AAC",     "DTS",
        "ATRAC",    "DSD",  "E-AC-3", "DTS-HD", "MAT", "DST",    "WMA Pro", "extended"};
    return format < std::size(kNames) ? kNames[format] : "reserved";
}

std::string OuiText(std::uint32_t oui) {
    char text[9];
    std::snprintf(text, sizeof text, "%02X-%02X-%02X", (oui >> 16) & 0xFFu, (oui >> 8) & 0xFFu,
                  oui & 0xFFu);
    return text;
}
