#include "edid/EdidFile.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

// Any file head: a leading zero (or nothing) makes it binary, the binary
// image is the head padded with zeros, and the normalised text is the head,
// less a leading UTF-8 byte-order mark, up to its first zero with only the
// spaces and carriage returns of collapsed line ends taken out.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> head(data, data + size);

    const bool binary = ClassifyEdidFile(head) == EdidFileForm::Binary;
    if (binary != (size == 0 || data[0] == 0x00)) {
        std::abort();
    }

    const EdidImage image = BinaryEdidImage(head);
    for (std::size_t i = 0; i < kEdidSize; ++i) {
        if (image[i] != (i < size ? data[i] : 0x00)) {
            std::abort();
        }
    }

    const std::string text = NormaliseLineEnds(head);
    const std::size_t considered = std::min(size, kFileReadLimit);
    if (text.size() > considered || text.find('\0') != std::string::npos) {
        std::abort();
    }
    const bool byteOrderMark =
        considered >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF;
    std::size_t next = byteOrderMark ? 3 : 0;
    for (const char c : text) {
        while (next < considered && data[next] != static_cast<std::uint8_t>(c)) {
            if (data[next] != ' ' && data[next] != '\r') {
                std::abort();
            }
            ++next;
        }
        if (next == considered) {
            std::abort();
        }
        ++next;
    }
    return 0;
}
