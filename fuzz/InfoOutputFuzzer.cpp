#include "cli/InfoJson.h"
#include "cli/InfoText.h"
#include "cli/TextEscape.h"
#include "edid/EdidDecode.h"
#include "fuzz/FuzzExpect.h"

#include <algorithm>
#include <string>

namespace {

// Valid UTF-8 with no control character but the line feed: nothing that a
// terminal would act on rather than show.
bool ShowableText(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            if ((lead < 0x20 && lead != '\n') || lead == 0x7F) {
                return false;
            }
            ++i;
            continue;
        }
        const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
        if (length == 0 || i + length > text.size()) {
            return false;
        }
        unsigned codePoint = lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) {
                return false;
            }
            codePoint = (codePoint << 6) | (next & 0x3F);
        }
        if (codePoint < 0xA0) {
            return false; // the C1 controls, or an overlong form
        }
        i += length;
    }
    return true;
}

} // namespace

// Any bytes as a table, as info shows it: neither output throws, the JSON is
// printable ASCII only, and the text shows every byte of the table's own text
// escaped.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const EdidTable table(data, data + size);
    const DecodedEdid decoded = DecodeEdid(table);
    const std::string json = DumpJson(InfoJson(table, decoded));
    Expect(std::all_of(json.begin(), json.end(), [](char c) { return c >= 0x20 && c < 0x7F; }));
    Expect(ShowableText(InfoText(table, decoded)));
    return 0;
}
