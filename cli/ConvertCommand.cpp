#include "cli/Commands.h"
#include "cli/FormatOption.h"

#include <memory>

namespace {

struct ConvertOptions {
    std::string input;
    std::string output;
    std::string format;
    bool pad = false;
};

} // namespace

Command AddConvertCommand(CLI::App& app, CliSession& session) {
    CLI::App* convert = app.add_subcommand(
        "convert", "Converts a table from any form the tool reads to bin, hex text or a C array");
    auto options = std::make_shared<ConvertOptions>();
    convert->add_option("IN", options->input, "The file to read; - for standard input")->required();
    convert->add_option("OUT", options->output, "The file to write; - for standard output")
        ->required();
    AddFormatOption(*convert, options->format);
    AddPadOption(*convert, options->pad);
    return {convert, [&session, options] {
                EdidTable table;
                if (const int result = session.LoadTable(options->input, &table);
                    result != kExitDone) {
                    return result;
                }
                if (options->pad) {
                    PadToTwoBlocks(table);
                }
                return session.SaveTable(options->output, table,
                                         ChosenFormat(options->format, options->output,
                                                      session.Services().outputIsTerminal));
            }};
}
