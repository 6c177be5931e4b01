#include "cli/TalvoEdid.h"

#include "cli/CliSession.h"
#include "cli/Commands.h"

#include <CLI/CLI.hpp>

#include <functional>
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
    "  5  the table read back after a write differs from the one written\n"
    "130  interrupted (Ctrl+C, SIGTERM, SIGHUP); a write says what it left";

// The chosen command's exit status; the help, the version and usage errors
// are CLI11's.
int ParseAndRun(CLI::App& app, const std::vector<Command>& commands, int argc,
                const char* const* argv, const CliServices& services,
                const std::function<bool()>& prepare) {
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        // A word where the command belongs that names none: say which, and
        // what the commands are.
        const std::vector<std::string> left = app.remaining();
        if (app.get_subcommands().empty() && !left.empty() && left.front().rfind('-', 0) != 0) {
            std::string names;
            for (const Command& command : commands) {
                names += (names.empty() ? "" : ", ") + command.parser->get_name();
            }
            services.err << "talvo-edid: unknown command \"" << left.front()
                         << "\"; the commands are " << names << '\n';
            return kExitUsage;
        }
        const int status = app.exit(error, services.out, services.err);
        return status == 0 ? kExitDone : kExitUsage;
    }
    if (!prepare()) {
        return kExitUsage;
    }
    for (const Command& command : commands) {
        if (command.parser->parsed()) {
            return command.run();
        }
    }
    return kExitUsage;
}

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
    std::string bridge = "auto";
    app.add_option("--bridge", bridge,
                   "How to reach the bridge: auto (the vendor library when it loads, "
                   "otherwise libusb), library or usb (default: auto)")
        ->check(CLI::IsMember({"auto", "library", "usb"}));
    std::string usbTrace;
    app.add_option("--usb-trace", usbTrace,
                   "Record every USB transfer to the bridge in FILE (libusb only)");

    const std::vector<Command> commands = {
        AddListCommand(app, session),    AddStatusCommand(app, session),
        AddModeCommand(app, session),    AddReadCommand(app, session),
        AddWriteCommand(app, session),   AddCheckCommand(app, session),
        AddConvertCommand(app, session), AddDiffCommand(app, session),
        AddInfoCommand(app, session),    AddEditCommand(app, session),
        AddProgramCommand(app, session),
    };
    for (const Command& command : commands) {
        command.parser->footer(kExitStatuses);
    }

    // The way to the bridge is chosen once the command line is known and
    // before any command talks to the unit.
    const auto chooseBridge = [&] {
        if (!services.chooseBridge) {
            return true;
        }
        const std::string problem = services.chooseBridge(bridge, usbTrace);
        if (!problem.empty()) {
            session.Message(problem);
        }
        return problem.empty();
    };
    return session.FinishOutput(ParseAndRun(app, commands, argc, argv, services, chooseBridge));
}
