#include "sim/HexBytes.h"

namespace {

constexpr char kDigits[] = "0123456789ABCDEF";

void AppendByte(std::string& text, std::uint8_t byte) {
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0x0F];
}

int DigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

} // namespace

std::string SpacedHex(const std::uint8_t* bytes, std::size_t length) {
    std::string text;
    for (std::size_t i = 0; i < length; ++i) {
        if (i > 0) {
            text += ' ';
        }
        AppendByte(text, bytes[i]);
    }
    return text;
}

std::string PackedHex(const std::uint8_t* bytes, std::size_t length) {
    std::string text;
    for (std::size_t i = 0; i < length; ++i) {
        AppendByte(text, bytes[i]);
    }
    return text;
}

bool ParsePackedHex(const std::string& text, std::uint8_t* bytes, std::size_t length) {
    if (text.size() != 2 * length) {
        return false;
    }
    for (std::size_t i = 0; i < length; ++i) {
        const int high = DigitValue(text[2 * i]);
        const int low = DigitValue(text[2 * i + 1]);
        if (high < 0 || low < 0) {
            return false;
        }
        bytes[i] = static_cast<std::uint8_t>(high << 4 | low);
    }
    return true;
}
