#include "cli/UnitWords.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace {

struct ModeWord {
    EdidMode mode;
    const char* name;
};

constexpr ModeWord kModeWords[] = {
    {EdidMode::Automix, "automix"},
    {EdidMode::Fixed, "fixed"},
    {EdidMode::Custom, "custom"},
};

} // namespace

const char* TransactionFailureText(TransactionResult result) {
    switch (result) {
    case TransactionResult::Ok:
        return "answered";
    case TransactionResult::NotOpen:
        return "the unit was not open";
    case TransactionResult::SendFailed:
        return "the request could not be sent";
    case TransactionResult::QueueCheckFailed:
        return "the receive queue could not be checked";
    case TransactionResult::TimedOut:
        return "no reply within 1000 ms";
    case TransactionResult::ReadFailed:
        return "the reply could not be read";
    case TransactionResult::ShortReply:
        return "the reply came short";
    }
    return "";
}

std::string ModeName(std::uint8_t modeCode) {
    for (const ModeWord& word : kModeWords) {
        if (static_cast<std::uint8_t>(word.mode) == modeCode) {
            return word.name;
        }
    }
    return std::to_string(modeCode);
}

std::string ModePhrase(std::uint8_t modeCode) {
    for (const ModeWord& word : kModeWords) {
        if (static_cast<std::uint8_t>(word.mode) == modeCode) {
            return std::string(word.name) + " mode";
        }
    }
    return "an unknown mode (code " + std::to_string(modeCode) + ")";
}

std::optional<EdidMode> ModeNamed(const std::string& name) {
    std::string lower = name;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const ModeWord& word : kModeWords) {
        if (lower == word.name) {
            return word.mode;
        }
    }
    return std::nullopt;
}

std::string HexByte(std::uint8_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", value);
    return text;
}

std::string HexOffset(std::size_t offset) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%02zX", offset);
    return text;
}
