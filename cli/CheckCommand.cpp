#include "cli/Commands.h"
#include "cli/FormatOption.h"
#include "cli/StructureWords.h"
#include "cli/TableSource.h"
#include "cli/UnitWords.h"
#include "edid/Checksum.h"
#include "edid/EdidStructure.h"

#include <memory>
#include <optional>

namespace {

struct CheckOptions {
    std::vector<std::string> files;
    bool fix = false;
    bool structure = false;
    std::string output;
};

// The form a repaired file keeps when it is written in place; nothing for a
// form the tool does not write.
std::optional<TableFormat> FormatOfImport(EdidTableForm form) {
    switch (form) {
    case EdidTableForm::Binary:
        return TableFormat::Binary;
    case EdidTableForm::HexText:
        return TableFormat::Hex;
    case EdidTableForm::CArray:
        return TableFormat::CArray;
    case EdidTableForm::EdidDecodeDump:
    case EdidTableForm::HexDump:
        return std::nullopt;
    }
    return std::nullopt;
}

// Prints one line for the file and repairs the table; true when every
// checksum was right.
bool CheckBlocks(CliSession& session, const std::string& path, EdidTable& table) {
    bool right = true;
    session.Out() << path << ':';
    for (std::size_t block = 0; block * kEdidBlockSize < table.size(); ++block) {
        std::uint8_t* start = table.data() + block * kEdidBlockSize;
        const std::uint8_t computed = EDIDChkSum(start);
        const std::uint8_t stored = start[kChecksumOffset];
        session.Out() << (block == 0 ? " " : ", ") << "block " << block << " checksum "
                      << HexByte(stored);
        if (stored == computed) {
            session.Out() << " right";
        } else {
            session.Out() << " wrong (should be " << HexByte(computed) << ")";
            start[kChecksumOffset] = computed;
            right = false;
        }
    }
    session.Out() << '\n';
    return right;
}

// One line for each structural problem but the checksums, which the
// file's line has told; true when there was none.
bool CheckStructure(CliSession& session, const EdidTable& table) {
    bool sound = true;
    for (const EdidProblem& problem : CheckEdidStructure(table)) {
        if (problem.kind == EdidProblemKind::ChecksumWrong) {
            continue;
        }
        session.Out() << "  block " << problem.block << ", offset " << HexOffset(problem.offset)
                      << ": " << StructureProblemText(problem.kind) << '\n';
        sound = false;
    }
    return sound;
}

int CheckFile(CliSession& session, const CheckOptions& options, const std::string& path) {
    EdidTable table;
    EdidTableForm form = EdidTableForm::Binary;
    const bool unit = path == kUnitSource;
    const int status =
        unit ? LoadTableFrom(session, path, &table) : session.LoadTable(path, &table, &form);
    if (status != kExitDone) {
        return status;
    }
    // Checked as it was loaded: CheckBlocks repairs the checksums in place.
    const EdidTable loaded = table;
    const bool right = CheckBlocks(session, path, table);
    const bool sound = !options.structure || CheckStructure(session, loaded);
    if (!options.fix) {
        return right && sound ? kExitDone : kExitNegative;
    }
    if (!options.output.empty()) {
        return session.SaveTable(
            options.output, table,
            ChosenFormat("", options.output, session.Services().outputIsTerminal));
    }
    if (right) {
        return kExitDone;
    }
    if (unit) {
        session.Message("the unit's table is not repaired in place; give -o OUT, then write it");
        return kExitUsage;
    }
    const std::optional<TableFormat> format = FormatOfImport(form);
    if (!format) {
        session.Message(path + ": an " + EdidTableFormName(form) +
                        " is not repaired in place; give -o OUT");
        return kExitUsage;
    }
    if (const int result = session.SaveTable(path, table, *format); result != kExitDone) {
        return result;
    }
    session.Note(path + ": checksums repaired");
    return kExitDone;
}

// A file that cannot be read outweighs a wrong checksum in another.
int Worse(int a, int b) {
    return a == kExitUsage || b == kExitUsage ? kExitUsage : std::max(a, b);
}

} // namespace

Command AddCheckCommand(CLI::App& app, CliSession& session) {
    CLI::App* check =
        app.add_subcommand("check", "Checks the block checksums of each file; --fix repairs them");
    auto options = std::make_shared<CheckOptions>();
    check
        ->add_option("FILE", options->files,
                     "Files in any form the tool reads; - for standard input, unit for the "
                     "unit's table")
        ->required();
    CLI::Option* fix =
        check->add_flag("--fix", options->fix, "Repair wrong checksums, in place or into OUT");
    check->add_flag("--structure", options->structure,
                    "Also list structural problems: header, extension count, CTA layout, range "
                    "limits, name descriptor, VICs listed twice (exit status 1 when any)");
    check->add_option("-o,--output", options->output, "Write the repaired table here instead")
        ->needs(fix);
    return {check, [&session, options] {
                if (!options->output.empty() && options->files.size() != 1) {
                    session.Message("-o takes the repair of one file only");
                    return int{kExitUsage};
                }
                int status = kExitDone;
                for (const std::string& path : options->files) {
                    status = Worse(status, CheckFile(session, *options, path));
                }
                return status;
            }};
}
