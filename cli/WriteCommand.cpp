#include "cli/Commands.h"
#include "cli/FileAccess.h"
#include "cli/FormatOption.h"
#include "cli/TableCompare.h"
#include "cli/UnitLink.h"
#include "cli/UnitWords.h"
#include "cli/UnitWrite.h"
#include "edid/Checksum.h"

#include <algorithm>
#include <memory>

namespace {

struct WriteOptions {
    std::string file;
    bool allowBadChecksum = false;
    bool pad = false;
    UnitWriteOptions unit;
};

// The unit takes a table only in CUSTOM mode; --set-custom switches it there
// first and makes sure that it went.
int RequireCustomMode(CliSession& session, UnitLink& link, bool setCustom) {
    UnitStatus status;
    if (const int result = link.QueryStatus(&status); result != kExitDone) {
        return result;
    }
    if (status.modeCode == static_cast<std::uint8_t>(EdidMode::Custom)) {
        return kExitDone;
    }
    if (!setCustom) {
        session.Message("the unit is in " + ModePhrase(status.modeCode) +
                        "; it takes a table only in custom mode (--set-custom switches "
                        "it first)");
        return kExitNegative;
    }
    if (const int result = link.SetMode(EdidMode::Custom); result != kExitDone) {
        return result;
    }
    if (const int result = link.QueryStatus(&status); result != kExitDone) {
        return result;
    }
    if (status.modeCode != static_cast<std::uint8_t>(EdidMode::Custom)) {
        session.Message("the unit stayed in " + ModePhrase(status.modeCode));
        return kExitUnitFailed;
    }
    return kExitDone;
}

int SaveBackup(CliSession& session, UnitLink& link, const std::string& path) {
    EdidImage current{};
    if (const int result = link.ReadTable(&current, UnitLink::ReadPurpose::Backup);
        result != kExitDone) {
        return result;
    }
    return session.SaveTable(path, EdidTable(current.begin(), current.end()),
                             ChosenFormat("", path, session.Services().outputIsTerminal));
}

int Verify(CliSession& session, UnitLink& link, const EdidImage& written,
           std::vector<std::size_t>* differing) {
    EdidImage readBack{};
    if (const int result = link.ReadTable(&readBack, UnitLink::ReadPurpose::Check);
        result != kExitDone) {
        return result;
    }
    const std::vector<ByteDifference> differences = CompareTables(
        EdidTable(written.begin(), written.end()), EdidTable(readBack.begin(), readBack.end()));
    if (differences.empty()) {
        return kExitDone;
    }
    if (differing != nullptr) {
        for (const ByteDifference& difference : differences) {
            differing->push_back(difference.offset);
        }
    }
    session.Message("the table read back differs from the one written at " +
                    std::to_string(differences.size()) +
                    (differences.size() == 1 ? " offset:" : " offsets:"));
    for (const ByteDifference& difference : differences) {
        session.Message("  offset " + HexOffset(difference.offset) + ": written " +
                        HexByte(*difference.first) + ", read back " + HexByte(*difference.second));
    }
    return kExitReadBackDiffers;
}

int RunWrite(CliSession& session, const WriteOptions& options) {
    // The backup would put the unit's old table in place of the new one,
    // which would then exist only on the unit.
    if (!options.unit.backup.empty() && SameFile(options.file, options.unit.backup)) {
        session.Message("--backup " + options.unit.backup +
                        " is the file to be written; nothing was written");
        return kExitUsage;
    }
    EdidImage table{};
    if (const int result =
            LoadTableToWrite(session, options.file, options.pad, options.allowBadChecksum, &table);
        result != kExitDone) {
        return result;
    }
    return WriteTableToUnit(session, table, options.unit);
}

} // namespace

int LoadTableToWrite(CliSession& session, const std::string& path, bool pad, bool allowBadChecksum,
                     EdidImage* table) {
    EdidTable file;
    if (const int result = session.LoadTable(path, &file); result != kExitDone) {
        return result;
    }
    if (pad) {
        PadToTwoBlocks(file);
    }
    if (file.size() != kEdidSize) {
        session.Message(path + ": the table has " + std::to_string(file.size()) +
                        " bytes; the unit takes a table of 256" +
                        (file.size() == kEdidBlockSize ? " (--pad adds a zero block 1)" : ""));
        return kExitUsage;
    }
    std::copy(file.begin(), file.end(), table->begin());
    if (!ChecksumsCorrect(*table) && !allowBadChecksum) {
        session.Message(path +
                        ": wrong checksum; not written (--allow-bad-checksum writes it anyway)");
        return kExitNegative;
    }
    return kExitDone;
}

int PrepareUnitForWrite(CliSession& session, UnitLink& link, const UnitWriteOptions& options) {
    if (const int result = RequireCustomMode(session, link, options.setCustom);
        result != kExitDone) {
        return result;
    }
    if (!options.backup.empty()) {
        return SaveBackup(session, link, options.backup);
    }
    return kExitDone;
}

int WriteAndVerify(CliSession& session, UnitLink& link, const EdidImage& table, bool noVerify,
                   std::vector<std::size_t>* differing) {
    if (const int result = link.WriteTable(table); result != kExitDone) {
        return result;
    }
    if (noVerify) {
        session.Note("table written to " + link.Where() + ", not verified");
        return kExitDone;
    }
    if (const int result = Verify(session, link, table, differing); result != kExitDone) {
        return result;
    }
    session.Note("table written to " + link.Where() + " and verified");
    return kExitDone;
}

int WriteTableToUnit(CliSession& session, const EdidImage& table, const UnitWriteOptions& options) {
    UnitLink link(session);
    if (const int result = link.RequireUnit(); result != kExitDone) {
        return result;
    }
    if (const int result = PrepareUnitForWrite(session, link, options); result != kExitDone) {
        return result;
    }
    return WriteAndVerify(session, link, table, options.noVerify);
}

Command AddWriteCommand(CLI::App& app, CliSession& session) {
    CLI::App* write = app.add_subcommand(
        "write", "Writes a 256-byte table from a file to the unit, then reads it back and "
                 "compares all 256 bytes");
    auto options = std::make_shared<WriteOptions>();
    write
        ->add_option("FILE", options->file,
                     "Binary, hex text, C array, edid-decode dump or hex dump; - for standard "
                     "input")
        ->required();
    write->add_flag("--no-verify", options->unit.noVerify, "Do not read the table back");
    write->add_flag("--allow-bad-checksum", options->allowBadChecksum,
                    "Write a table whose checksums are wrong");
    write->add_flag("--set-custom", options->unit.setCustom,
                    "Switch the unit to custom mode first if it is in another");
    write->add_option("--backup", options->unit.backup,
                      "Save the unit's table to this file before writing");
    AddPadOption(*write, options->pad);
    return {write, [&session, options] { return RunWrite(session, *options); }};
}
