#include "edid/EdidFieldMap.h"

#include "edid/EdidDecode.h"
#include "edid/EdidLayout.h"
#include "edid/EdidNames.h"

#include <iterator>

namespace {

struct FieldRange {
    std::size_t end; // one past the field's last byte
    const char* name;
};

// The base block up to its first descriptor, in order.
constexpr FieldRange kBaseFields[] = {
    {8, "header"},
    {10, "manufacturer ID"},
    {12, "product code"},
    {16, "serial number"},
    {17, "week of manufacture"},
    {18, "year of manufacture"},
    {20, "EDID version"},
    {21, "video input"},
    {23, "screen size"},
    {24, "gamma"},
    {25, "feature support"},
    {kEstablishedTimingsOffset, "chromaticity"},
    {kStandardTimingsOffset, "established timings"},
};

std::string BaseBlockField(const std::vector<std::uint8_t>& table, const DecodedEdid& decoded,
                           std::size_t offset) {
    for (const FieldRange& field : kBaseFields) {
        if (offset < field.end) {
            return field.name;
        }
    }
    if (offset < kFirstDescriptorOffset) {
        return "standard timing " + std::to_string((offset - kStandardTimingsOffset) / 2 + 1);
    }
    if (offset < kExtensionCountOffset) {
        const std::size_t slot = (offset - kFirstDescriptorOffset) / kDescriptorLength;
        const std::size_t start = DescriptorSlotOffset(slot);
        // Descriptors count separately from detailed timings, as the
        // decoder lists them.
        std::size_t timings = 0;
        std::size_t descriptors = 0;
        for (std::size_t s = 0; s <= slot; ++s) {
            const std::size_t at = DescriptorSlotOffset(s);
            (table[at] != 0 || table[at + 1] != 0) ? ++timings : ++descriptors;
        }
        if (table[start] != 0 || table[start + 1] != 0) {
            return "detailed timing " + std::to_string(timings);
        }
        return "display descriptor " + std::to_string(descriptors) + ": " +
               DescriptorName(decoded.base.displayDescriptors[descriptors - 1].kind);
    }
    return offset == kExtensionCountOffset ? "extension count" : "checksum";
}

std::string DataBlockName(const CtaDataBlock& block) {
    std::string name = std::string("CTA data block: ") + CtaDataBlockName(block.kind);
    if (block.kind == CtaDataBlockKind::VendorSpecific) {
        name += " " + OuiText(block.oui);
    } else if (block.kind == CtaDataBlockKind::Unknown) {
        name += " tag " + std::to_string(block.tag);
        if (block.extendedTag) {
            name += " extended tag " + std::to_string(*block.extendedTag);
        }
    }
    return name;
}

std::string CtaField(const std::vector<std::uint8_t>& table, const EdidExtension& extension,
                     std::size_t offset) {
    const std::size_t start = extension.block * kEdidBlockSize;
    const std::size_t inBlock = offset - start;
    static const char* const kHeaderFields[] = {"CTA-861 tag", "CTA-861 revision",
                                                "detailed timings offset", "CTA-861 flags"};
    if (inBlock < std::size(kHeaderFields)) {
        return kHeaderFields[inBlock];
    }
    for (const CtaDataBlock& block : extension.cta->dataBlocks) {
        if (offset >= block.offset && offset <= block.offset + block.length) {
            return DataBlockName(block);
        }
    }
    // An offset of 0, or one the decoder refused, leaves no DTDs to name.
    const std::size_t dtdOffset = table[start + kCtaDtdOffsetByte];
    if (dtdOffset < kCtaDataBlocksStart) {
        return "padding";
    }
    if (inBlock < dtdOffset) {
        return "CTA data block area";
    }
    const std::size_t dtd = (inBlock - dtdOffset) / kDescriptorLength;
    if (dtd < extension.cta->detailedTimings.size()) {
        return "CTA detailed timing " + std::to_string(dtd + 1);
    }
    return "padding";
}

} // namespace

std::string NameEdidField(const std::vector<std::uint8_t>& table, std::size_t offset) {
    if (offset >= table.size() - table.size() % kEdidBlockSize) {
        return "beyond the table";
    }
    const DecodedEdid decoded = DecodeEdid(table);
    const std::size_t block = offset / kEdidBlockSize;
    std::string prefix = block == 0 ? std::string() : "block " + std::to_string(block) + ": ";
    if (block == 0) {
        return BaseBlockField(table, decoded, offset);
    }
    if (IsChecksumByte(offset)) {
        return prefix + "checksum";
    }
    if (block > decoded.extensions.size()) {
        return prefix + "undeclared block";
    }
    const EdidExtension& extension = decoded.extensions[block - 1];
    if (extension.cta) {
        return prefix + CtaField(table, extension, offset);
    }
    return prefix + (offset % kEdidBlockSize == 0
                         ? "extension tag"
                         : ExtensionName(extension.kind) + std::string(" data"));
}
