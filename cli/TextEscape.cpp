#include "cli/TextEscape.h"

#include <cstdint>
#include <cstdio>

namespace {

bool Printable(unsigned char byte) {
    return byte >= 0x20 && byte < 0x7F;
}

} // namespace

std::string TerminalText(const std::string& bytes) {
    std::string text;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (Printable(byte)) {
            text += c;
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            text += escaped;
        }
    }
    return text;
}

std::string JsonText(const std::string& bytes) {
    std::string text;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            text += c;
        } else {
            text += static_cast<char>(0xC0 | (byte >> 6));
            text += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return text;
}

std::string DumpJson(const nlohmann::json& json) {
    // ensure_ascii escapes every character from U+007F on, and the
    // serialiser escapes the control characters below U+0020.
    return json.dump(-1, ' ', true);
}
