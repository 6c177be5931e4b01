#include "edid/EdidListedTimings.h"

#include "edid/EdidDecodeParts.h"
#include "edid/EdidLayout.h"
#include "edid/EdidTimingFormats.h"

#include <optional>

namespace {

constexpr std::size_t kEstablishedBytes = 3;

class TimingList {
public:
    explicit TimingList(std::vector<ListedTiming>& list) : list_(list) {}

    void Add(const DetailedTiming& timing, std::size_t block, std::size_t offset) {
        if (timing.pixelClockKHz != 0) {
            list_.push_back({timing, block, offset});
        }
    }

    void Add(const TimingMode& mode, std::size_t block, std::size_t offset) {
        if (const auto choice = ChooseStandardTiming(mode.width, mode.height, mode.refreshHz)) {
            Add(choice->timing, block, offset);
        }
    }

private:
    std::vector<ListedTiming>& list_;
};

void ListBaseBlock(const std::vector<std::uint8_t>& table, TimingList& list) {
    // One byte at a time, so that each mode keeps the byte of its bit.
    for (std::size_t i = 0; i < kEstablishedBytes; ++i) {
        std::uint8_t bytes[kEstablishedBytes] = {};
        bytes[i] = table[kEstablishedTimingsOffset + i];
        for (const TimingMode& mode : DecodeEstablishedTimings(bytes)) {
            list.Add(mode, 0, kEstablishedTimingsOffset + i);
        }
    }
    for (std::size_t i = 0; i < kStandardTimingCount; ++i) {
        const std::size_t at = kStandardTimingsOffset + 2 * i;
        StandardTiming timing;
        if (DecodeStandardTiming(table.data() + at, table[kRevisionOffset], timing)) {
            list.Add(timing.mode, 0, at);
        }
    }
    for (std::size_t slot = 0; slot < kDescriptorCount; ++slot) {
        const std::size_t at = DescriptorSlotOffset(slot);
        if (table[at] != 0 || table[at + 1] != 0) {
            list.Add(DecodeDetailedTiming(table.data() + at), 0, at);
        }
    }
}

void ListSvd(const ShortVideoDescriptor& descriptor, std::size_t block, std::size_t offset,
             TimingList& list) {
    if (const std::optional<DetailedTiming> t = CtaVicTiming(descriptor.vic)) {
        list.Add(*t, block, offset);
    } else if (descriptor.known) {
        list.Add(descriptor.mode, block, offset);
    }
}

void ListCtaBlock(const std::vector<std::uint8_t>& table, const EdidExtension& extension,
                  TimingList& list) {
    const CtaExtension& cta = *extension.cta;
    // The decoder lists the SVDs of every video data block, and of every
    // YCbCr 4:2:0 video data block after its extended tag, in order.
    std::size_t svd = 0;
    std::size_t onlyYCbCr420 = 0;
    for (const CtaDataBlock& block : cta.dataBlocks) {
        if (block.kind == CtaDataBlockKind::Video) {
            for (std::size_t i = 1; i <= block.length && svd < cta.videoDescriptors.size(); ++i) {
                ListSvd(cta.videoDescriptors[svd++], extension.block, block.offset + i, list);
            }
        } else if (block.kind == CtaDataBlockKind::YCbCr420Video) {
            for (std::size_t i = 2;
                 i <= block.length && onlyYCbCr420 < cta.ycbcr420OnlyVideo.size(); ++i) {
                ListSvd(cta.ycbcr420OnlyVideo[onlyYCbCr420++], extension.block, block.offset + i,
                        list);
            }
        }
    }
    const std::size_t start = extension.block * kEdidBlockSize;
    std::size_t at = start + table[start + kCtaDtdOffsetByte];
    for (const DetailedTiming& t : cta.detailedTimings) {
        list.Add(t, extension.block, at);
        at += kDescriptorLength;
    }
}

} // namespace

std::vector<ListedTiming> ListTableTimings(const std::vector<std::uint8_t>& table,
                                           const DecodedEdid& decoded) {
    std::vector<ListedTiming> listed;
    if (table.size() < kEdidBlockSize) {
        return listed;
    }
    TimingList list(listed);
    ListBaseBlock(table, list);
    for (const EdidExtension& extension : decoded.extensions) {
        if (extension.cta) {
            ListCtaBlock(table, extension, list);
        }
    }
    return listed;
}
