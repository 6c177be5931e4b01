#pragma once

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

// The chosen format, or the one the output file's extension gives.
inline TableFormat ChosenFormat(const std::string& format, const std::string& path) {
    return format.empty() ? TableFormatOfPath(path) : *TableFormatNamed(format);
}
