#pragma once

#include "cli/CliSession.h"

#include <CLI/CLI.hpp>

#include <functional>

// One subcommand: its parser, and what runs when the command line chose it.
struct Command {
    CLI::App* parser;
    std::function<int()> run;
};

// Each adds its subcommand, with its own options, to the tool's parser.
Command AddListCommand(CLI::App& app, CliSession& session);
Command AddStatusCommand(CLI::App& app, CliSession& session);
Command AddModeCommand(CLI::App& app, CliSession& session);
Command AddReadCommand(CLI::App& app, CliSession& session);
Command AddWriteCommand(CLI::App& app, CliSession& session);
Command AddCheckCommand(CLI::App& app, CliSession& session);
Command AddConvertCommand(CLI::App& app, CliSession& session);
Command AddDiffCommand(CLI::App& app, CliSession& session);
Command AddInfoCommand(CLI::App& app, CliSession& session);
Command AddEditCommand(CLI::App& app, CliSession& session);
Command AddProgramCommand(CLI::App& app, CliSession& session);
