#include "cli/Commands.h"
#include "cli/InfoJson.h"
#include "cli/InfoText.h"
#include "cli/TableSource.h"
#include "cli/TextEscape.h"
#include "edid/EdidDecode.h"

#include <memory>

namespace {

struct InfoOptions {
    std::string source = kUnitSource;
    bool json = false;
};

} // namespace

Command AddInfoCommand(CLI::App& app, CliSession& session) {
    CLI::App* info = app.add_subcommand(
        "info", "The decoder's view of a table: the summary line and the decoded fields");
    auto options = std::make_shared<InfoOptions>();
    info->add_option("SOURCE", options->source, "A file, or unit (the default)");
    info->add_flag("--json", options->json, "One JSON object with the keys the README lists");
    return {info, [&session, options] {
                EdidTable table;
                if (const int result = LoadTableFrom(session, options->source, &table);
                    result != kExitDone) {
                    return result;
                }
                const DecodedEdid decoded = DecodeEdid(table);
                if (options->json) {
                    session.Out() << DumpJson(InfoJson(table, decoded)) << '\n';
                } else {
                    session.Out() << InfoText(table, decoded);
                }
                return int{kExitDone};
            }};
}
