#include "cli/InfoFacts.h"

#include "cli/StructureWords.h"

namespace {

constexpr double kSampleRatesKHz[] = {32, 44.1, 48, 88.2, 96, 176.4, 192};

} // namespace

std::string VersionText(const EdidBaseBlock& base) {
    return std::to_string(base.version) + "." + std::to_string(base.revision);
}

const DetailedTiming* PreferredTiming(const EdidBaseBlock& base) {
    return base.detailedTimings.empty() ? nullptr : &base.detailedTimings.front();
}

unsigned FrameHeight(const DetailedTiming& timing) {
    return timing.interlaced ? 2u * timing.vActive : unsigned{timing.vActive};
}

std::vector<double> SampleRatesKHz(const ShortAudioDescriptor& audio) {
    std::vector<double> rates;
    for (std::size_t bit = 0; bit < std::size(kSampleRatesKHz); ++bit) {
        if ((audio.sampleRates >> bit) & 1u) {
            rates.push_back(kSampleRatesKHz[bit]);
        }
    }
    return rates;
}

std::optional<std::string> PhysicalAddress(const CtaExtension& cta) {
    if (!cta.hdmi) {
        return std::nullopt;
    }
    const std::uint8_t* parts = cta.hdmi->physicalAddress;
    return std::to_string(parts[0]) + "." + std::to_string(parts[1]) + "." +
           std::to_string(parts[2]) + "." + std::to_string(parts[3]);
}

std::optional<std::string> MalformedReason(const DecodedEdid& decoded, std::size_t block) {
    for (const EdidProblem& problem : decoded.problems) {
        const bool inBlock = problem.kind == EdidProblemKind::DataBlockOverrun ||
                             problem.kind == EdidProblemKind::DtdOffsetInvalid;
        if (inBlock && problem.block == block) {
            return ProblemText(decoded, problem);
        }
    }
    return std::nullopt;
}

std::optional<std::string> DisplayName(const EdidBaseBlock& base) {
    const std::string& name = base.productName;
    const std::size_t first = name.find_first_not_of(' ');
    if (first == std::string::npos) {
        return std::nullopt;
    }
    return name.substr(first, name.find_last_not_of(' ') - first + 1);
}
