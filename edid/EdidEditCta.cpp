#include "edid/EdidEditParts.h"
#include "edid/EdidImage.h"
#include "edid/EdidVicTable.h"

#include <algorithm>
#include <optional>

namespace {

constexpr std::uint8_t kBasicAudioBit = 0x40;
constexpr std::size_t kMaxPayload = 0x1F;
constexpr std::uint8_t kLpcmFormat = 1;

// The first CTA-861 extension with data blocks, as offsets into the table.
struct CtaLayout {
    std::size_t start = 0;     // of the block in the table
    std::size_t dtdOffset = 0; // in the block: where the data blocks end
    std::size_t dtdEnd = 0;    // in the block: where the DTDs end and padding begins
    std::vector<CtaDataBlock> blocks;
};

EdidEditOutcome FindCta(const EdidTable& table, CtaLayout& layout) {
    if (table.size() < kEdidBlockSize) {
        return EdidEditOutcome::NoBaseBlock;
    }
    const DecodedEdid decoded = DecodeEdid(table);
    for (const EdidExtension& extension : decoded.extensions) {
        if (!extension.cta || extension.cta->revision < 3) {
            continue;
        }
        for (const EdidProblem& problem : decoded.problems) {
            if (problem.block == extension.block) {
                return EdidEditOutcome::CtaBlockBroken;
            }
        }
        layout.start = extension.block * kEdidBlockSize;
        const std::uint8_t* b = table.data() + layout.start;
        // Offset 0 says the block holds neither data blocks nor DTDs.
        layout.dtdOffset = b[kCtaDtdOffsetByte] == 0 ? kCtaDataBlocksStart : b[kCtaDtdOffsetByte];
        layout.dtdEnd = layout.dtdOffset;
        while (b[kCtaDtdOffsetByte] != 0 && layout.dtdEnd + kDescriptorLength <= kChecksumOffset &&
               (b[layout.dtdEnd] != 0 || b[layout.dtdEnd + 1] != 0)) {
            layout.dtdEnd += kDescriptorLength;
        }
        layout.blocks = extension.cta->dataBlocks;
        return EdidEditOutcome::Done;
    }
    return EdidEditOutcome::NoCtaBlock;
}

// Opens count bytes at offset at (in the block) for a data block; what
// follows, up to the end of the DTDs, moves with the DTD offset.
bool Insert(EdidTable& table, const CtaLayout& layout, std::size_t at,
            const std::vector<std::uint8_t>& bytes) {
    if (layout.dtdEnd + bytes.size() > kChecksumOffset) {
        return false;
    }
    std::uint8_t* b = table.data() + layout.start;
    std::copy_backward(b + at, b + layout.dtdEnd, b + layout.dtdEnd + bytes.size());
    std::copy(bytes.begin(), bytes.end(), b + at);
    b[kCtaDtdOffsetByte] = static_cast<std::uint8_t>(layout.dtdOffset + bytes.size());
    return true;
}

// Closes count bytes at offset at (in the block); the freed end is padding.
void Erase(EdidTable& table, const CtaLayout& layout, std::size_t at, std::size_t count) {
    std::uint8_t* b = table.data() + layout.start;
    std::copy(b + at + count, b + layout.dtdEnd, b + at);
    std::fill(b + layout.dtdEnd - count, b + layout.dtdEnd, std::uint8_t{0});
    b[kCtaDtdOffsetByte] = static_cast<std::uint8_t>(layout.dtdOffset - count);
}

std::size_t InBlock(const CtaLayout& layout, const CtaDataBlock& block) {
    return block.offset - layout.start;
}

const CtaDataBlock* FirstBlock(const CtaLayout& layout, CtaDataBlockKind kind) {
    const auto found = std::find_if(layout.blocks.begin(), layout.blocks.end(),
                                    [kind](const CtaDataBlock& b) { return b.kind == kind; });
    return found == layout.blocks.end() ? nullptr : &*found;
}

bool IsSvdOf(std::uint8_t svd, std::uint8_t vic) {
    return svd == vic || (vic <= kLastNativeVic && svd == (vic | kSvdNativeFlag));
}

// The table offset of the first SVD of vic in any video data block.
std::optional<std::size_t> FindSvd(const EdidTable& table, const CtaLayout& layout,
                                   std::uint8_t vic, const CtaDataBlock** owner) {
    for (const CtaDataBlock& block : layout.blocks) {
        if (block.kind != CtaDataBlockKind::Video) {
            continue;
        }
        for (std::size_t i = 1; i <= block.length; ++i) {
            if (IsSvdOf(table[block.offset + i], vic)) {
                *owner = &block;
                return block.offset + i;
            }
        }
    }
    return std::nullopt;
}

// The place of the SVD at offset among all SVDs, in block order.
std::size_t SvdIndex(const CtaLayout& layout, std::size_t offset) {
    std::size_t index = 0;
    for (const CtaDataBlock& block : layout.blocks) {
        if (block.kind != CtaDataBlockKind::Video) {
            continue;
        }
        if (offset > block.offset && offset <= block.offset + block.length) {
            return index + (offset - block.offset - 1);
        }
        index += block.length;
    }
    return index;
}

// The YCbCr 4:2:0 capability map marks SVDs by their place: when one goes,
// the marks of those after it move down with them.
void DropCapabilityBit(EdidTable& table, const CtaLayout& layout, std::size_t index) {
    const CtaDataBlock* map = FirstBlock(layout, CtaDataBlockKind::YCbCr420CapabilityMap);
    if (map == nullptr || map->length < 2) {
        return;
    }
    std::uint8_t* bits = table.data() + map->offset + 2; // after the header and extended tag
    const std::size_t count = (map->length - 1) * 8;
    const auto marked = [bits](std::size_t k) { return ((bits[k / 8] >> (k % 8)) & 1) != 0; };
    for (std::size_t k = index; k < count; ++k) {
        const std::uint8_t bit = static_cast<std::uint8_t>(1u << (k % 8));
        const bool next = k + 1 < count && marked(k + 1);
        bits[k / 8] = static_cast<std::uint8_t>(next ? bits[k / 8] | bit : bits[k / 8] & ~bit);
    }
}

// Runs edit on a copy of the table and keeps the copy only when it succeeds,
// with the CTA block's checksum made right.
template <typename Edit> EdidEditOutcome EditCta(EdidTable& table, Edit edit) {
    EdidTable copy = table;
    CtaLayout layout;
    if (const EdidEditOutcome found = FindCta(copy, layout); found != EdidEditOutcome::Done) {
        return found;
    }
    if (const EdidEditOutcome outcome = edit(copy, layout); outcome != EdidEditOutcome::Done) {
        return outcome;
    }
    RepairBlockChecksum(copy, layout.start / kEdidBlockSize);
    table.swap(copy);
    return EdidEditOutcome::Done;
}

bool IsDefinedVic(std::uint8_t vic) {
    ShortVideoDescriptor svd;
    svd.vic = vic;
    LookUpVic(svd);
    return svd.known;
}

// Removes every data block of kind; the offset in the block of the first
// one removed, if any.
std::optional<std::size_t> RemoveBlocks(EdidTable& table, CtaLayout& layout,
                                        CtaDataBlockKind kind) {
    std::optional<std::size_t> first;
    while (const CtaDataBlock* block = FirstBlock(layout, kind)) {
        const std::size_t at = InBlock(layout, *block);
        first = first.value_or(at);
        Erase(table, layout, at, 1 + block->length);
        FindCta(table, layout);
    }
    return first;
}

const CtaDataBlock* HdmiBlock(const CtaLayout& layout) {
    for (const CtaDataBlock& block : layout.blocks) {
        if (block.kind == CtaDataBlockKind::VendorSpecific && block.oui == kHdmiOui) {
            return &block;
        }
    }
    return nullptr;
}

} // namespace

EdidEditOutcome AddVic(EdidTable& table, std::uint8_t vic) {
    if (!IsDefinedVic(vic)) {
        return EdidEditOutcome::VicUndefined;
    }
    return EditCta(table, [vic](EdidTable& t, CtaLayout& layout) {
        const CtaDataBlock* owner = nullptr;
        if (FindSvd(t, layout, vic, &owner)) {
            return EdidEditOutcome::Done;
        }
        const CtaDataBlock* video = FirstBlock(layout, CtaDataBlockKind::Video);
        if (video == nullptr) {
            const std::uint8_t header = (kCtaVideoTag << 5) | 1;
            return Insert(t, layout, kCtaDataBlocksStart, {header, vic}) ? EdidEditOutcome::Done
                                                                         : EdidEditOutcome::NoRoom;
        }
        if (video->length == kMaxPayload ||
            !Insert(t, layout, InBlock(layout, *video) + 1 + video->length, {vic})) {
            return EdidEditOutcome::NoRoom;
        }
        ++t[video->offset];
        return EdidEditOutcome::Done;
    });
}

EdidEditOutcome RemoveVic(EdidTable& table, std::uint8_t vic) {
    return EditCta(table, [vic](EdidTable& t, CtaLayout& layout) {
        bool removed = false;
        const CtaDataBlock* owner = nullptr;
        while (const std::optional<std::size_t> at = FindSvd(t, layout, vic, &owner)) {
            DropCapabilityBit(t, layout, SvdIndex(layout, *at));
            // A video data block without SVDs goes with its last one.
            if (owner->length == 1) {
                Erase(t, layout, InBlock(layout, *owner), 2);
            } else {
                --t[owner->offset];
                Erase(t, layout, *at - layout.start, 1);
            }
            removed = true;
            FindCta(t, layout);
        }
        return removed ? EdidEditOutcome::Done : EdidEditOutcome::VicNotListed;
    });
}

EdidEditOutcome MarkNativeVic(EdidTable& table, std::uint8_t vic) {
    if (vic == 0 || vic > kLastNativeVic) {
        return EdidEditOutcome::VicCannotBeNative;
    }
    return EditCta(table, [vic](EdidTable& t, CtaLayout& layout) {
        const CtaDataBlock* owner = nullptr;
        const std::optional<std::size_t> at = FindSvd(t, layout, vic, &owner);
        if (!at) {
            return EdidEditOutcome::VicNotListed;
        }
        // One format is native: the flag leaves every other SVD.
        for (const CtaDataBlock& block : layout.blocks) {
            if (block.kind != CtaDataBlockKind::Video) {
                continue;
            }
            for (std::size_t i = 1; i <= block.length; ++i) {
                t[block.offset + i] = SvdVic(t[block.offset + i]);
            }
        }
        t[*at] = vic | kSvdNativeFlag;
        return EdidEditOutcome::Done;
    });
}

EdidEditOutcome SetNoAudio(EdidTable& table) {
    return EditCta(table, [](EdidTable& t, CtaLayout& layout) {
        // Blocks that describe audio would contradict a sink without any.
        for (const CtaDataBlockKind kind :
             {CtaDataBlockKind::Audio, CtaDataBlockKind::SpeakerAllocation,
              CtaDataBlockKind::VendorSpecificAudio, CtaDataBlockKind::RoomConfiguration,
              CtaDataBlockKind::SpeakerLocation}) {
            RemoveBlocks(t, layout, kind);
        }
        t[layout.start + kCtaFlagsByte] &= ~kBasicAudioBit;
        return EdidEditOutcome::Done;
    });
}

EdidEditOutcome SetLpcmAudio(EdidTable& table, const LpcmAudio& audio) {
    if (audio.channels < 1 || audio.channels > 8 || audio.sampleRates == 0 ||
        audio.sampleRates > 0x7F || audio.sampleSizes == 0 || audio.sampleSizes > 0x07) {
        return EdidEditOutcome::ValueOutOfRange;
    }
    return EditCta(table, [&audio](EdidTable& t, CtaLayout& layout) {
        const std::optional<std::size_t> first = RemoveBlocks(t, layout, CtaDataBlockKind::Audio);
        const std::uint8_t header = (kCtaAudioTag << 5) | 3;
        const std::uint8_t format = (kLpcmFormat << 3) | (audio.channels - 1);
        if (!Insert(t, layout, first.value_or(kCtaDataBlocksStart),
                    {header, format, audio.sampleRates, audio.sampleSizes})) {
            return EdidEditOutcome::NoRoom;
        }
        t[layout.start + kCtaFlagsByte] |= kBasicAudioBit;
        return EdidEditOutcome::Done;
    });
}

EdidEditOutcome SetPhysicalAddress(EdidTable& table, const std::array<std::uint8_t, 4>& address) {
    for (const std::uint8_t part : address) {
        if (part > 0x0F) {
            return EdidEditOutcome::ValueOutOfRange;
        }
    }
    return EditCta(table, [&address](EdidTable& t, CtaLayout& layout) {
        const CtaDataBlock* hdmi = HdmiBlock(layout);
        if (hdmi == nullptr) {
            return EdidEditOutcome::NoHdmiBlock;
        }
        if (hdmi->length < 5) {
            return EdidEditOutcome::HdmiBlockTooShort;
        }
        t[hdmi->offset + 4] = static_cast<std::uint8_t>((address[0] << 4) | address[1]);
        t[hdmi->offset + 5] = static_cast<std::uint8_t>((address[2] << 4) | address[3]);
        return EdidEditOutcome::Done;
    });
}

EdidEditOutcome SetMaxTmdsClock(EdidTable& table, unsigned mhz) {
    if (mhz == 0 || mhz % kTmdsUnitMHz != 0 || mhz / kTmdsUnitMHz > 0xFF) {
        return EdidEditOutcome::ValueOutOfRange;
    }
    return EditCta(table, [mhz](EdidTable& t, CtaLayout& layout) {
        const CtaDataBlock* hdmi = HdmiBlock(layout);
        if (hdmi == nullptr) {
            return EdidEditOutcome::NoHdmiBlock;
        }
        if (hdmi->length < 7) {
            return EdidEditOutcome::HdmiBlockTooShort;
        }
        t[hdmi->offset + 7] = static_cast<std::uint8_t>(mhz / kTmdsUnitMHz);
        return EdidEditOutcome::Done;
    });
}
