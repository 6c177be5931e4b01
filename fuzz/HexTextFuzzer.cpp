#include "edid/HexText.h"
#include "fuzz/FuzzExpect.h"

#include <string>

// Any text: the parser refuses it or counts groups that fit in it, leaves the
// rest of the table zero, and the layout it renders parses back to the same
// table.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    EdidImage image{};
    image.fill(0xEE);
    const int count = ParseHexText(text, image);
    if (count < 0) {
        Expect(count == -1);
        return 0;
    }
    // The last group may lack its separator.
    Expect(static_cast<std::size_t>(count) * kHexGroupLength <= size + 1);
    for (std::size_t i = static_cast<std::size_t>(count); i < kEdidSize; ++i) {
        Expect(image[i] == 0);
    }
    EdidImage again{};
    Expect(ParseHexText(CanonicalHexText(image), again) == static_cast<int>(kEdidSize));
    Expect(again == image);
    return 0;
}
