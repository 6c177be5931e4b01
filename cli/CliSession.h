#pragma once

#include "cli/ExitStatus.h"
#include "cli/TableFormat.h"
#include "cli/TableImport.h"
#include "cli/TalvoEdid.h"

#include <cstdint>
#include <optional>
#include <string>

// Standard input or output in place of a file name.
inline constexpr const char* kStandardStream = "-";

// What every command shares: the global options, the streams and the ways
// to read and write tables in files.
class CliSession {
public:
    explicit CliSession(const CliServices& services) : services_(services) {}

    const CliServices& Services() const { return services_; }
    std::ostream& Out() { return services_.out; }

    // A line on the error stream.
    void Message(const std::string& text);
    // A message that -q leaves out.
    void Note(const std::string& text);
    bool ShowsProgress() const { return services_.errorIsTerminal && !quiet; }

    // The table in the file ("-": standard input), in any form the importer
    // takes; kExitUsage, having said why, when the file cannot be read or
    // holds no table. A table cut short, or with a damaged header, is taken
    // as it stands, with a note.
    int LoadTable(const std::string& path, EdidTable* table, EdidTableForm* form = nullptr);
    // Replaces the file with the table in the given form, or, for "-", writes
    // it to the output stream.
    int SaveTable(const std::string& path, const EdidTable& table, TableFormat format);

    // The exit status once standard output has been flushed: a failed write
    // there (a full disk, a closed pipe) turns a success or a negative answer
    // into a failure.
    int FinishOutput(int status);

    std::uint32_t unitNumber = 0;
    int bank = 0;
    bool quiet = false;

private:
    const CliServices& services_;
};
