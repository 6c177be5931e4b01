#include "cli/InfoText.h"

#include "cli/InfoFacts.h"
#include "cli/StructureWords.h"
#include "cli/TextEscape.h"
#include "cli/UnitWords.h"
#include "edid/EdidNames.h"
#include "edid/EdidProblemName.h"
#include "edid/EdidStructure.h"
#include "edid/EdidSummary.h"

#include <cstdio>

namespace {

std::string ChecksumText(std::size_t block, const BlockChecksum& checksum) {
    std::string text = "block " + std::to_string(block) + " " + HexByte(checksum.stored);
    return text + (checksum.Correct() ? " right"
                                      : " wrong (should be " + HexByte(checksum.computed) + ")");
}

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

std::string MadeText(const EdidBaseBlock& base) {
    if (base.modelYear) {
        return "model year " + std::to_string(base.year);
    }
    if (base.week == 0) {
        return std::to_string(base.year);
    }
    return "week " + std::to_string(base.week) + " of " + std::to_string(base.year);
}

std::string TimingText(const DetailedTiming& timing) {
    char text[96];
    std::snprintf(text, sizeof text, "%ux%u%s @ %.2f Hz, pixel clock %u kHz",
                  unsigned{timing.hActive}, FrameHeight(timing), timing.interlaced ? "i" : "",
                  timing.refreshHz, timing.pixelClockKHz);
    return text;
}

std::string CtaText(const CtaExtension& cta) {
    std::string text = "  CTA-861 revision " + std::to_string(cta.revision) + "\n";
    if (!cta.videoDescriptors.empty()) {
        text += "  VICs:";
        for (const ShortVideoDescriptor& video : cta.videoDescriptors) {
            text += " " + std::to_string(video.vic) + (video.native ? " (native)" : "");
        }
        text += "\n";
    }
    for (const ShortAudioDescriptor& audio : cta.audioDescriptors) {
        text += std::string("  audio: ") + AudioFormatName(audio.format) + ", " +
                std::to_string(audio.channels) + " channels,";
        for (double rate : SampleRatesKHz(audio)) {
            text += " " + Number(rate);
        }
        text += " kHz\n";
    }
    if (const auto address = PhysicalAddress(cta)) {
        text += "  HDMI physical address: " + *address + "\n";
    }
    return text;
}

} // namespace

std::string InfoText(const EdidTable& table, const DecodedEdid& decoded) {
    // The name comes from the table and reaches the summary too.
    DecodedEdid shown = decoded;
    shown.base.productName = TerminalText(decoded.base.productName);
    const EdidBaseBlock& base = shown.base;
    std::string text = SummariseEdid(shown) + "\n";
    text += "size: " + std::to_string(table.size()) + " bytes\n";
    text += "checksums: " + ChecksumText(0, base.checksum);
    for (const EdidExtension& extension : decoded.extensions) {
        text += ", " + ChecksumText(extension.block, extension.checksum);
    }
    text += "\nEDID version: " + VersionText(base) + "\n";
    text += "manufacturer: " + base.manufacturerId +
            (base.manufacturerName.empty() ? "" : " (" + base.manufacturerName + ")") + "\n";
    text += "product code: " + std::to_string(base.productCode) + "\n";
    text += "serial number: " +
            (base.serialNumber == 0 ? std::string("none") : std::to_string(base.serialNumber)) +
            "\n";
    text += "made: " + MadeText(base) + "\n";
    if (const auto name = DisplayName(base)) {
        text += "name: " + *name + "\n";
    }
    if (const DetailedTiming* timing = PreferredTiming(base)) {
        text += "preferred timing: " + TimingText(*timing) + "\n";
    }
    for (const EdidExtension& extension : decoded.extensions) {
        text += "block " + std::to_string(extension.block) + ": " + ExtensionName(extension.kind) +
                " (tag " + HexByte(extension.tag) + ")\n";
        if (extension.cta) {
            text += CtaText(*extension.cta);
        }
        if (const auto reason = MalformedReason(decoded, extension.block)) {
            text += "  malformed: " + *reason + "\n";
        }
    }
    for (const EdidProblem& problem : CheckEdidStructure(table)) {
        text += std::string("problem: ") + EdidProblemName(problem.kind) + " (block " +
                std::to_string(problem.block) + ", offset " + HexOffset(problem.offset) +
                "): " + ProblemText(decoded, problem) + "\n";
    }
    return text;
}
