#include "edid/EdidSummary.h"

#include "edid/EdidNames.h"
#include "edid/EdidProblemName.h"

#include <algorithm>
#include <cstdio>
#include <utility>
#include <vector>

namespace {

constexpr char kSeparator[] = " \xC2\xB7 "; // a middle dot between spaces

std::string Trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string()
                                      : text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string TimingText(const DetailedTiming& t) {
    char text[48];
    std::snprintf(text, sizeof text, "%ux%u%s @ %.2f Hz", unsigned{t.hActive},
                  t.interlaced ? 2u * t.vActive : unsigned{t.vActive}, t.interlaced ? "i" : "",
                  t.refreshHz);
    return text;
}

// Each format once, with the most channels any of its descriptors gives.
std::string AudioText(const std::vector<ShortAudioDescriptor>& descriptors) {
    std::vector<std::pair<std::uint8_t, std::uint8_t>> formats;
    for (const ShortAudioDescriptor& d : descriptors) {
        const auto found = std::find_if(formats.begin(), formats.end(),
                                        [&d](const auto& f) { return f.first == d.format; });
        if (found == formats.end()) {
            formats.emplace_back(d.format, d.channels);
        } else {
            found->second = std::max(found->second, d.channels);
        }
    }
    std::string text;
    for (const auto& [format, channels] : formats) {
        text += (text.empty() ? "" : ", ") + std::string(AudioFormatName(format)) + " " +
                std::to_string(channels) + "ch";
    }
    return text;
}

void Append(std::string& line, const std::string& part) {
    if (!part.empty()) {
        line += (line.empty() ? "" : kSeparator) + part;
    }
}

} // namespace

std::string SummariseEdid(const DecodedEdid& decoded) {
    const EdidBaseBlock& base = decoded.base;
    std::string line;
    if (!base.headerValid) {
        Append(line, "no EDID header");
    }
    const std::string name = Trimmed(base.productName);
    Append(line, base.manufacturerId + (name.empty() ? "" : " " + name));
    if (!base.detailedTimings.empty()) {
        Append(line, TimingText(base.detailedTimings.front()));
    }
    std::vector<std::size_t> badChecksums;
    if (!base.checksum.Correct()) {
        badChecksums.push_back(0);
    }
    for (const EdidExtension& extension : decoded.extensions) {
        if (!extension.checksum.Correct()) {
            badChecksums.push_back(extension.block);
        }
        if (!extension.cta) {
            Append(line, ExtensionName(extension.kind));
            continue;
        }
        const CtaExtension& cta = *extension.cta;
        Append(line, "CTA-861 rev " + std::to_string(cta.revision));
        if (cta.hdmi) {
            const std::uint8_t* a = cta.hdmi->physicalAddress;
            Append(line, "HDMI " + std::to_string(a[0]) + "." + std::to_string(a[1]) + "." +
                             std::to_string(a[2]) + "." + std::to_string(a[3]));
        }
        Append(line, AudioText(cta.audioDescriptors));
    }
    for (const std::size_t block : badChecksums) {
        Append(line, "checksum of block " + std::to_string(block) + " wrong");
    }
    if (!decoded.problems.empty()) {
        Append(line, EdidProblemName(decoded.problems.front().kind));
    }
    return line;
}
