#include "cli/Commands.h"
#include "cli/ProgramRun.h"
#include "cli/ProgramWatch.h"
#include "cli/UnitLink.h"
#include "cli/UnitWords.h"
#include "cli/UnitWrite.h"
#include "device/UnitLinks.h"

#include <algorithm>
#include <memory>
#include <sstream>

namespace {

// "all", or unit numbers counted from 0 as --unit counts them, separated by
// commas; false, having said why, for anything else or a unit not attached.
bool ChooseUnits(CliSession& session, const std::string& choice,
                 const std::vector<AttachedUnit>& attached, std::vector<AttachedUnit>* chosen) {
    if (choice == "all") {
        *chosen = attached;
        return true;
    }
    std::istringstream items(choice);
    for (std::string item; std::getline(items, item, ',');) {
        if (item.empty() || item.size() > 9 ||
            item.find_first_not_of("0123456789") != std::string::npos) {
            session.Message("--units " + choice + ": give all or unit numbers such as 0,2,5");
            return false;
        }
        const std::size_t number = std::stoul(item);
        if (number >= attached.size()) {
            session.Message("there is no unit " + item + ": " + std::to_string(attached.size()) +
                            (attached.size() == 1 ? " unit is" : " units are") + " attached");
            return false;
        }
        const AttachedUnit& unit = attached[number];
        const bool twice =
            std::any_of(chosen->begin(), chosen->end(),
                        [&unit](const AttachedUnit& c) { return c.link == unit.link; });
        if (!twice) {
            chosen->push_back(unit);
        }
    }
    return true;
}

// The attached units, once the bridge library has loaded.
int AttachedUnits(CliSession& session, std::vector<AttachedUnit>* units) {
    std::vector<BridgeDevice> devices;
    UnitLink probe(session);
    if (const int status = probe.ListDevices(&devices); status != kExitDone) {
        return status;
    }
    if (const BridgeStatus count = ListAttachedUnits(session.Services().library, units);
        count != kBridgeSuccess) {
        session.Message(DeviceCountFailureText(count));
        return kExitNoUnit;
    }
    return kExitDone;
}

// Everything that would stop every unit alike is settled before any is
// touched: the table, the serial numbers' form and the log.
int PrepareRun(CliSession& session, ProgramOptions& options, EdidImage* table, ProgramLog* log) {
    if (const int status = LoadTableToWrite(session, options.file, false, false, table);
        status != kExitDone) {
        return status;
    }
    std::string reason;
    const std::string& format = options.serial.stringFormat;
    if (!format.empty() && !CheckSerialFormat(format, &reason)) {
        session.Message("--serial-string-format " + format + ": " + reason);
        return kExitUsage;
    }
    if (options.serial.start) {
        EdidImage trial = *table;
        const auto first = PlannedSerial(options.serial, 0);
        if (!first || !StampSerial(trial, options.serial, *first, &reason)) {
            session.Message(first ? options.file + ": " + reason
                                  : "--serial-start: a serial number has 32 bits");
            return kExitUsage;
        }
    }
    if (!options.logPath.empty() && !log->Open(options.logPath, &reason)) {
        session.Message("cannot open the log " + options.logPath + ": " + reason);
        return kExitUsage;
    }
    return kExitDone;
}

int RunProgram(CliSession& session, ProgramOptions& options) {
    EdidImage table{};
    ProgramLog log;
    if (const int status = PrepareRun(session, options, &table, &log); status != kExitDone) {
        return status;
    }
    ProductionRun run(session, options, table, log);
    if (options.watch) {
        return WatchAndProgram(session, run);
    }
    std::vector<AttachedUnit> attached;
    if (const int status = AttachedUnits(session, &attached); status != kExitDone) {
        return status;
    }
    std::vector<AttachedUnit> chosen;
    if (!ChooseUnits(session, options.units, attached, &chosen)) {
        return attached.empty() ? int{kExitNoUnit} : int{kExitUsage};
    }
    if (chosen.empty()) {
        session.Message("no TALVO unit is attached");
        return kExitNoUnit;
    }
    for (const AttachedUnit& unit : chosen) {
        const auto number = static_cast<std::uint32_t>(
            std::find_if(attached.begin(), attached.end(),
                         [&unit](const AttachedUnit& a) { return a.link == unit.link; }) -
            attached.begin());
        run.Start(number, unit);
    }
    return run.Finish();
}

} // namespace

Command AddProgramCommand(CLI::App& app, CliSession& session) {
    CLI::App* program = app.add_subcommand(
        "program", "Writes a table to every attached unit at once, each verified by reading it "
                   "back, optionally each with a serial number of its own, with a log");
    auto options = std::make_shared<ProgramOptions>();
    program->add_option("FILE", options->file, "The 256-byte table, in any form write takes")
        ->required();
    CLI::Option* units =
        program->add_option("--units", options->units,
                            "all, or unit numbers as --unit counts them: 0,2,5 (default: all)");
    program
        ->add_flag("--watch", options->watch,
                   "Wait for units to be plugged in and program each new one once, until Ctrl+C")
        ->excludes(units);
    CLI::Option* start = program->add_option(
        "--serial-start", options->serial.start,
        "The first unit programmed gets serial number N in bytes 12 to 15, the next N+K ...");
    program
        ->add_option("--serial-step", options->serial.step,
                     "K, the step between serial numbers "
                     "(default: 1)")
        ->needs(start);
    program
        ->add_option("--serial-string-format", options->serial.stringFormat,
                     "Also a serial string descriptor, the number in place of %u: TLV%06u")
        ->needs(start);
    program->add_flag("--set-custom", options->setCustom,
                      "Switch a unit to custom mode first if it is in another");
    program->add_option("--backup-dir", options->backupDir,
                        "Save each unit's table first, in DIR, named by its link and the time");
    program->add_option("--log", options->logPath,
                        "Append one JSON line per unit to FILE, as each finishes");
    return {program, [&session, options] { return RunProgram(session, *options); }};
}
