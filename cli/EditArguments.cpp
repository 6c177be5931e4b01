#include "cli/EditArguments.h"

#include <algorithm>
#include <iterator>
#include <regex>
#include <sstream>
#include <vector>

namespace {

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream stream(text);
    while (std::getline(stream, part, separator)) {
        parts.push_back(part);
    }
    if (!text.empty() && text.back() == separator) {
        parts.emplace_back();
    }
    return parts;
}

// Each item of a comma-separated list by its position in names; the bits
// of the positions found.
std::optional<std::uint8_t> BitsOf(const std::string& list, const char* const* names,
                                   std::size_t count) {
    std::uint8_t bits = 0;
    for (const std::string& item : Split(list, ',')) {
        const auto found = std::find(names, names + count, item);
        if (found == names + count) {
            return std::nullopt;
        }
        bits |= static_cast<std::uint8_t>(1u << (found - names));
    }
    return bits == 0 ? std::nullopt : std::optional<std::uint8_t>(bits);
}

constexpr const char* kRates[] = {"32", "44.1", "48", "88.2", "96", "176.4", "192"};
constexpr const char* kSizes[] = {"16", "20", "24"};

} // namespace

std::optional<std::uint64_t> ParseEditNumber(const std::string& text) {
    static const std::regex number("(0[xX][0-9a-fA-F]{1,16}|[0-9]{1,19})");
    if (!std::regex_match(text, number)) {
        return std::nullopt;
    }
    return std::stoull(text, nullptr, 0);
}

std::optional<ModeArgument> ParseMode(const std::string& text) {
    static const std::regex mode("([0-9]{1,5})x([0-9]{1,5})@([0-9]{1,4}(\\.[0-9]{1,6})?)");
    std::smatch match;
    if (!std::regex_match(text, match, mode)) {
        return std::nullopt;
    }
    const unsigned long width = std::stoul(match[1]);
    const unsigned long height = std::stoul(match[2]);
    if (width > 0xFFFF || height > 0xFFFF) {
        return std::nullopt;
    }
    return ModeArgument{static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(height),
                        std::stod(match[3])};
}

std::optional<std::array<std::uint8_t, 4>> ParsePhysicalAddress(const std::string& text) {
    static const std::regex address(
        "([0-9a-fA-F])\\.([0-9a-fA-F])\\.([0-9a-fA-F])\\.([0-9a-fA-F])");
    std::smatch match;
    if (!std::regex_match(text, match, address)) {
        return std::nullopt;
    }
    std::array<std::uint8_t, 4> parts{};
    for (std::size_t i = 0; i < parts.size(); ++i) {
        parts[i] = static_cast<std::uint8_t>(std::stoul(match[i + 1], nullptr, 16));
    }
    return parts;
}

std::optional<AudioArgument> ParseAudio(const std::string& text) {
    if (text == "none") {
        return AudioArgument{};
    }
    const std::vector<std::string> parts = Split(text, ':');
    if (parts.size() != 4 || parts[0] != "lpcm" || parts[1].size() != 1 || parts[1][0] < '1' ||
        parts[1][0] > '8') {
        return std::nullopt;
    }
    const std::optional<std::uint8_t> rates = BitsOf(parts[2], kRates, std::size(kRates));
    const std::optional<std::uint8_t> sizes = BitsOf(parts[3], kSizes, std::size(kSizes));
    if (!rates || !sizes) {
        return std::nullopt;
    }
    return AudioArgument{LpcmAudio{static_cast<std::uint8_t>(parts[1][0] - '0'), *rates, *sizes}};
}
