#include "cli/InfoJson.h"

#include "cli/InfoFacts.h"
#include "cli/StructureWords.h"
#include "cli/TextEscape.h"
#include "edid/EdidNames.h"
#include "edid/EdidProblemName.h"
#include "edid/EdidStructure.h"
#include "edid/EdidSummary.h"

namespace {

using nlohmann::json;

json ChecksumJson(const BlockChecksum& checksum) {
    return {
        {"stored", checksum.stored}, {"computed", checksum.computed}, {"ok", checksum.Correct()}};
}

json TimingJson(const DetailedTiming* timing) {
    if (timing == nullptr) {
        return nullptr;
    }
    return {{"width", timing->hActive},
            {"height", FrameHeight(*timing)},
            {"interlaced", timing->interlaced},
            {"refresh_hz", timing->refreshHz},
            {"pixel_clock_khz", timing->pixelClockKHz}};
}

json CtaJson(const CtaExtension& cta, const std::optional<std::string>& malformed, json extension) {
    json vics = json::array();
    json nativeVics = json::array();
    for (const ShortVideoDescriptor& video : cta.videoDescriptors) {
        vics.push_back(video.vic);
        if (video.native) {
            nativeVics.push_back(video.vic);
        }
    }
    json audio = json::array();
    for (const ShortAudioDescriptor& descriptor : cta.audioDescriptors) {
        audio.push_back({{"format", AudioFormatName(descriptor.format)},
                         {"channels", descriptor.channels},
                         {"rates_khz", SampleRatesKHz(descriptor)}});
    }
    const std::optional<std::string> address = PhysicalAddress(cta);
    extension["revision"] = cta.revision;
    extension["vics"] = vics;
    extension["native_vics"] = nativeVics;
    extension["audio"] = audio;
    extension["hdmi_physical_address"] = address ? json(*address) : json(nullptr);
    extension["malformed"] = malformed.has_value();
    extension["malformed_reason"] = malformed ? json(*malformed) : json(nullptr);
    return extension;
}

json ProblemsJson(const EdidTable& table, const DecodedEdid& decoded) {
    json problems = json::array();
    for (const EdidProblem& problem : CheckEdidStructure(table)) {
        problems.push_back({{"kind", EdidProblemName(problem.kind)},
                            {"block", problem.block},
                            {"offset", problem.offset},
                            {"text", ProblemText(decoded, problem)}});
    }
    return problems;
}

template <typename T> json ValueOrNull(bool present, const T& value) {
    return present ? json(value) : json(nullptr);
}

} // namespace

json InfoJson(const EdidTable& table, const DecodedEdid& decoded) {
    // The name comes from the table and reaches the summary too.
    DecodedEdid shown = decoded;
    shown.base.productName = JsonText(decoded.base.productName);
    const EdidBaseBlock& base = shown.base;
    json checksums = json::array({ChecksumJson(base.checksum)});
    json extensions = json::array();
    for (const EdidExtension& extension : decoded.extensions) {
        checksums.push_back(ChecksumJson(extension.checksum));
        json entry = {{"tag", extension.tag}, {"kind", ExtensionName(extension.kind)}};
        extensions.push_back(
            extension.cta
                ? CtaJson(*extension.cta, MalformedReason(decoded, extension.block), entry)
                : entry);
    }
    const std::optional<std::string> name = DisplayName(base);
    return {
        {"size", table.size()},
        {"blocks", 1 + decoded.extensions.size()},
        {"checksums", checksums},
        {"version", VersionText(base)},
        {"manufacturer", base.manufacturerId},
        {"manufacturer_name", ValueOrNull(!base.manufacturerName.empty(), base.manufacturerName)},
        {"product_code", base.productCode},
        {"serial_number", ValueOrNull(base.serialNumber != 0, base.serialNumber)},
        {"week", ValueOrNull(base.week != 0 && !base.modelYear, base.week)},
        {"year", base.year},
        {"model_year", base.modelYear},
        {"name", name ? json(*name) : json(nullptr)},
        {"preferred_timing", TimingJson(PreferredTiming(base))},
        {"extensions", extensions},
        {"problems", ProblemsJson(table, decoded)},
        {"summary", SummariseEdid(shown)},
    };
}
