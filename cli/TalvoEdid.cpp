#include "cli/TalvoEdid.h"

#include "cli/CliSession.h"
#include "cli/Commands.h"

#include <CLI/CLI.hpp>

#include <vector>

namespace {

constexpr const char* kVersion = "talvo-edid 1.0";

constexpr const char* kExitStatuses =
    "Exit status:\n"
    "  0  done: no difference, checksums right\n"
    "  1  a negative answer: a wrong checksum, a difference, a write refused (wrong\n"
    "     checksums, or the unit not in custom mode)\n"
    "  2  a usage error, or an input file that cannot be read or holds no table\n"
    "  3  no unit, or the bridge library cannot be loaded\n"
    "  4  the unit failed: a transaction failed, a chunk was refused, a mode or reset\n"
    "     command was not answered\n"
    "  5  the table read back after a write differs from the one written";

} // namespace

int RunTalvoEdid(int argc, const char* const* argv, const CliServices& services) {
    CliSession session(services);
    CLI::App app("Reads, writes, verifies and converts the EDID table of a TALVO unit.",
                 "talvo-edid");
    app.footer(kExitStatuses);
    app.set_version_flag("--version", kVersion);
    app.require_subcommand(1);
    // Global options may also follow the command: "talvo-edid read --unit 1".
    app.fallthrough();
    app.add_option("--unit", session.unitNumber,
                   "The N-th attached unit, counted from 0 (default: the first)");
    app.add_option("--bank", session.bank,
                   "The EDID bank: 0 to 4, Device address 0xB0, 0xA0, 0xB2, 0xB4, 0xB6 "
                   "(default: 0)")
        ->check(CLI::Range(0, 4));
    app.add_flag("-q,--quiet", session.quiet, "No progress line and no notes");

    const std::vector<Command> commands = {
        AddListCommand(app, session),    AddStatusCommand(app, session),
        AddModeCommand(app, session),    AddReadCommand(app, session),
        AddWriteCommand(app, session),   AddCheckCommand(app, session),
        AddConvertCommand(app, session), AddDiffCommand(app, session),
        AddInfoCommand(app, session),    AddEditCommand(app, session),
    };
    for (const Command& command : commands) {
        command.parser->footer(kExitStatuses);
    }

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        const int status = app.exit(error, services.out, services.err);
        return status == 0 ? kExitDone : kExitUsage;
    }
    for (const Command& command : commands) {
        if (command.parser->parsed()) {
            return command.run();
        }
    }
    return kExitUsage;
}
