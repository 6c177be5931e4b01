#include "edid/HexText.h"

namespace {

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

bool IsGroupSeparator(char c) {
    return c == '\0' || c == ' ' || c == '\n';
}

} // namespace

int HexPairToByte(const char* group, std::uint8_t* destination) {
    // Each character is tested before the next one is read, so a group cut
    // short by the terminating zero never reads past the end of the text.
    const int high = HexDigitValue(group[0]);
    if (high < 0) {
        return 1;
    }
    const int low = HexDigitValue(group[1]);
    if (low < 0 || !IsGroupSeparator(group[2])) {
        return 1;
    }
    *destination = static_cast<std::uint8_t>(high * 16 + low);
    return 0;
}

int ParseHexText(const std::string& text, EdidImage& image, std::size_t* errorOffset) {
    image.fill(0);
    const auto fail = [errorOffset](std::size_t offset) {
        if (errorOffset != nullptr) {
            *errorOffset = offset;
        }
        return -1;
    };
    if (text.size() > kMaxHexTextLength) {
        // The group that runs past the longest text a table can take.
        return fail(kMaxHexTextLength - kMaxHexTextLength % kHexGroupLength);
    }
    // Blank lines or spaces a user leaves after the table are not groups.
    const std::size_t end = text.find_last_not_of(" \n") + 1;
    std::size_t count = 0;
    for (std::size_t pos = 0; pos < end; pos += kHexGroupLength) {
        std::uint8_t value = 0;
        const std::size_t separator = pos + 2;
        const bool innerNul = separator + 1 < text.size() && text[separator] == '\0';
        if (innerNul || HexPairToByte(text.c_str() + pos, &value) != 0) {
            return fail(pos);
        }
        if (count < kEdidSize) {
            image[count] = value;
        }
        ++count;
    }
    return static_cast<int>(count);
}

std::string HexLines(const std::uint8_t* bytes, std::size_t size, const std::string& indent,
                     const std::string& prefix, const std::string& suffix) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(size * (kHexGroupLength + prefix.size() + suffix.size()) +
                 (size / kHexBytesPerLine + 1) * indent.size());
    for (std::size_t i = 0; i < size; ++i) {
        if (i % kHexBytesPerLine == 0) {
            text += indent;
        }
        text += prefix;
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 0x0F];
        text += suffix;
        const bool lineEnds = i % kHexBytesPerLine == kHexBytesPerLine - 1 || i + 1 == size;
        text += lineEnds ? '\n' : ' ';
    }
    return text;
}

std::string CanonicalHexText(const EdidImage& image) {
    return HexLines(image.data(), image.size());
}
