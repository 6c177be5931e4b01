#pragma once

#include "cli/CliSession.h"
#include "cli/TableFormat.h"

#include <CLI/CLI.hpp>

#include <string>

// The --format option that read and convert share.
inline CLI::Option* AddFormatOption(CLI::App& command, std::string& format) {
    return command
        .add_option("--format", format,
                    "bin (raw bytes), hex (canonical hex text) or c (a C array); by default "
                    "from the file's extension: .hex and .txt hex, .c and .h c, others bin")
        ->check(CLI::IsMember({"bin", "hex", "c"}));
}

// The chosen format, or the one the output file's extension gives; standard
// output ("-") takes the raw bytes, but a terminal the hex text, since raw
// bytes would only garble it.
inline TableFormat ChosenFormat(const std::string& format, const std::string& path,
                                bool outputIsTerminal) {
    if (!format.empty()) {
        return *TableFormatNamed(format);
    }
    if (path == kStandardStream) {
        return outputIsTerminal ? TableFormat::Hex : TableFormat::Binary;
    }
    return TableFormatOfPath(path);
}

// The --pad flag that write and convert share.
inline CLI::Option* AddPadOption(CLI::App& command, bool& pad) {
    return command.add_flag("--pad", pad,
                            "Give a one-block table a block 1 of zero bytes, as the unit holds it");
}
