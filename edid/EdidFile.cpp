#include "edid/EdidFile.h"

#include "edid/EdidLayout.h"
#include "edid/HexText.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace {

// The trailing space after a full line's 16th group falls on this column,
// counted from 1 at the start of the line.
constexpr std::size_t kTrailingSpaceColumn = kHexLineLength;

std::size_t ByteOrderMarkLength(const std::vector<std::uint8_t>& head) {
    return StartsWithByteOrderMark(head.data(), head.size()) ? std::size(kUtf8ByteOrderMark) : 0;
}

} // namespace

EdidFileForm ClassifyEdidFile(const std::vector<std::uint8_t>& head) {
    return (head.empty() || head.front() == 0x00) ? EdidFileForm::Binary : EdidFileForm::Text;
}

EdidImage BinaryEdidImage(const std::vector<std::uint8_t>& head) {
    EdidImage image{};
    std::copy_n(head.begin(), std::min(head.size(), kEdidSize), image.begin());
    return image;
}

std::string NormaliseLineEnds(const std::vector<std::uint8_t>& head) {
    std::array<std::uint8_t, kFileReadLimit> input{};
    std::copy_n(head.begin(), std::min(head.size(), kFileReadLimit), input.begin());
    const auto is = [&input](std::size_t i, char c) {
        return i < input.size() && input[i] == static_cast<std::uint8_t>(c);
    };

    // The column restarts only after a collapse, so a file whose first line
    // is not a full line with a trailing space is taken as it stands.
    std::string output;
    std::size_t column = 0;
    for (std::size_t i = ByteOrderMarkLength(head); i < input.size(); ++i) {
        ++column;
        const bool atTrailingSpace = column == kTrailingSpaceColumn && is(i, ' ');
        if (atTrailingSpace && is(i + 1, '\r') && is(i + 2, '\n')) {
            output += '\n';
            column = 0;
            i += 2;
        } else if (atTrailingSpace && is(i + 1, '\n')) {
            output += '\n';
            column = 0;
            i += 1;
        } else if (input[i] == 0x00) {
            break; // the text ends here; nothing after it can reach the view
        } else {
            output += static_cast<char>(input[i]);
        }
    }
    return output;
}
