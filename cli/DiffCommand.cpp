#include "cli/Commands.h"
#include "cli/TableCompare.h"
#include "cli/TableSource.h"
#include "cli/UnitWords.h"
#include "edid/EdidFieldMap.h"

#include <memory>

namespace {

struct DiffOptions {
    std::string first;
    std::string second;
};

std::string ValueText(const std::optional<std::uint8_t>& value) {
    return value ? HexByte(*value).substr(2) : std::string("--");
}

} // namespace

Command AddDiffCommand(CLI::App& app, CliSession& session) {
    CLI::App* diff = app.add_subcommand(
        "diff", "Prints each byte in which A and B differ, with its offset and its field");
    auto options = std::make_shared<DiffOptions>();
    diff->add_option("A", options->first, "A file, or unit")->required();
    diff->add_option("B", options->second, "A file, or unit")->required();
    return {diff, [&session, options] {
                EdidTable first;
                EdidTable second;
                if (const int result = LoadTableFrom(session, options->first, &first);
                    result != kExitDone) {
                    return result;
                }
                if (const int result = LoadTableFrom(session, options->second, &second);
                    result != kExitDone) {
                    return result;
                }
                const std::vector<ByteDifference> differences = CompareTables(first, second);
                for (const ByteDifference& difference : differences) {
                    const EdidTable& named = difference.offset < first.size() ? first : second;
                    session.Out() << HexOffset(difference.offset) << "  "
                                  << ValueText(difference.first) << "  "
                                  << ValueText(difference.second) << "  "
                                  << NameEdidField(named, difference.offset) << '\n';
                }
                return differences.empty() ? int{kExitDone} : int{kExitNegative};
            }};
}
