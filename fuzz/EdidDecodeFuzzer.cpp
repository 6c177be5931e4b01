#include "edid/EdidDecode.h"
#include "edid/EdidFieldMap.h"
#include "edid/EdidImage.h"
#include "edid/EdidSummary.h"
#include "fuzz/FuzzExpect.h"

#include <algorithm>
#include <vector>

// Any bytes as a table: the decoder reads only the blocks both declared and
// held, every data block it lists lies inside its block's data block area,
// and the summary and the field map name every byte without failing.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> table(data, data + size);
    const DecodedEdid decoded = DecodeEdid(table);

    const std::size_t held = size / kEdidBlockSize;
    const std::size_t declared = held == 0 ? 0 : std::size_t{1} + data[126];
    Expect(decoded.extensions.size() ==
           (std::min(held, declared) == 0 ? 0 : std::min(held, declared) - 1));
    for (const EdidExtension& extension : decoded.extensions) {
        if (!extension.cta) {
            continue;
        }
        const std::size_t start = extension.block * kEdidBlockSize;
        for (const CtaDataBlock& block : extension.cta->dataBlocks) {
            Expect(block.offset >= start + 4);
            Expect(block.offset + block.length < start + data[start + 2]);
        }
        Expect(extension.cta->detailedTimings.size() <= 6);
    }
    Expect(!SummariseEdid(decoded).empty());
    // Each name decodes the table afresh; two blocks and a byte past them
    // are enough to reach every kind of field.
    for (std::size_t offset = 0; offset <= std::min(size, kEdidSize); ++offset) {
        Expect(!NameEdidField(table, offset).empty());
    }
    return 0;
}
