#include "cli/InfoJson.h"
#include "cli/InfoText.h"
#include "cli/TextEscape.h"
#include "edid/EdidDecode.h"
#include "edid/EdidStructure.h"
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

// Every problem the structural checks find, listed whole and inside the
// table (a table cut short names the offset where it ends).
void ExpectProblemsListed(const EdidTable& table, const nlohmann::json& info) {
    const nlohmann::json& problems = info.at("problems");
    Expect(problems.is_array() && problems.size() == CheckEdidStructure(table).size());
    for (const nlohmann::json& problem : problems) {
        Expect(problem.at("kind").is_string() && problem.at("kind") != "unknown");
        Expect(problem.at("block").is_number_unsigned());
        Expect(problem.at("offset").get<std::size_t>() <= table.size());
        Expect(!problem.at("text").get<std::string>().empty());
    }
}

} // namespace

// Any bytes as a table, as info shows it: neither output throws, the JSON is
// printable ASCII only and parses back with every problem listed, and the
// text shows every byte of the table's own text escaped.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const EdidTable table(data, data + size);
    const DecodedEdid decoded = DecodeEdid(table);
    const std::string json = DumpJson(InfoJson(table, decoded));
    Expect(std::all_of(json.begin(), json.end(), [](char c) { return c >= 0x20 && c < 0x7F; }));
    ExpectProblemsListed(table, nlohmann::json::parse(json));
    Expect(ShowableText(InfoText(table, decoded)));
    return 0;
}
