#include "cli/Commands.h"
#include "cli/FormatOption.h"
#include "cli/TableSource.h"

#include <memory>

namespace {

struct ReadOptions {
    std::string output;
    std::string format;
};

} // namespace

Command AddReadCommand(CLI::App& app, CliSession& session) {
    CLI::App* read = app.add_subcommand(
        "read", "Reads the unit's table; to standard output as hex text unless a file or a "
                "format says otherwise");
    auto options = std::make_shared<ReadOptions>();
    read->add_option("-o,--output", options->output,
                     "The file to write the table to; - for standard output");
    AddFormatOption(*read, options->format);
    return {read, [&session, options] {
                EdidTable table;
                if (const int result = LoadTableFrom(session, kUnitSource, &table);
                    result != kExitDone) {
                    return result;
                }
                if (options->output.empty()) {
                    const TableFormat format = options->format.empty()
                                                   ? TableFormat::Hex
                                                   : *TableFormatNamed(options->format);
                    return session.SaveTable("-", table, format);
                }
                return session.SaveTable(options->output, table,
                                         ChosenFormat(options->format, options->output,
                                                      session.Services().outputIsTerminal));
            }};
}
