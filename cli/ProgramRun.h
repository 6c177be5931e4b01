#pragma once

#include "cli/CliSession.h"
#include "cli/ProgramLog.h"
#include "cli/SerialStamp.h"
#include "device/UnitLinks.h"
#include "edid/EdidImage.h"

#include <cstdint>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

struct ProgramOptions {
    std::string file;
    std::string units = "all";
    bool watch = false;
    SerialPlan serial;
    bool setCustom = false;
    std::string backupDir;
    std::string logPath;
};

// A production run: every unit it is given is programmed by a worker of its
// own, on a link of its own, so that the units' protocol waits overlap; the
// Library lock still lets one call at a time into the bridge library. A unit
// that fails touches no other. Each unit, as it finishes, gets one line on
// the output and one in the log.
class ProductionRun {
public:
    ProductionRun(CliSession& session, const ProgramOptions& options, const EdidImage& table,
                  ProgramLog& log);
    ~ProductionRun();
    ProductionRun(const ProductionRun&) = delete;
    ProductionRun& operator=(const ProductionRun&) = delete;

    // Programs the unit; `number` names it in the lines.
    void Start(std::uint32_t number, const AttachedUnit& unit);
    // Whether a worker for the unit at this link is still at work.
    bool Busy(const std::string& link);
    bool Idle();
    // A line on the output, between the units' lines.
    void Announce(const std::string& line);
    // Waits for every worker, then prints the count of units done, refused
    // and failed; returns the worst exit status among them (kExitDone for
    // none).
    int Finish();

private:
    UnitRecord Program(std::uint32_t number, const AttachedUnit& unit, std::string* messages);
    void Report(const UnitRecord& record, const std::string& messages);
    std::string BackupPath(const std::string& link) const;

    CliSession& session_;
    const ProgramOptions& options_;
    const EdidImage table_;
    ProgramLog& log_;

    std::mutex mutex_; // everything below, the output streams and the log
    std::vector<std::thread> workers_;
    std::set<std::string> busy_;
    std::uint64_t serialsGiven_ = 0;
    int done_ = 0;
    int refused_ = 0;
    int failed_ = 0;
    int worst_ = 0;
    bool logFailed_ = false;
};
