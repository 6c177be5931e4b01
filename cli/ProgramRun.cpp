#include "cli/ProgramRun.h"

#include "cli/ExitStatus.h"
#include "cli/Sha256.h"
#include "cli/UnitLink.h"
#include "cli/UnitWrite.h"
#include "device/LibraryLock.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <sstream>

namespace {

const char* ResultWord(int status) {
    switch (status) {
    case kExitDone:
        return "verified";
    case kExitNegative:
        return "refused";
    case kExitInterrupted:
        return "interrupted";
    default:
        return "failed";
    }
}

// The unit's own messages, each line saying which unit it is about.
std::string Attributed(const std::string& messages, const std::string& who) {
    const std::string tool = "talvo-edid: ";
    std::istringstream lines(messages);
    std::string text;
    for (std::string line; std::getline(lines, line);) {
        if (line.compare(0, tool.size(), tool) == 0) {
            line = tool + who + ": " + line.substr(tool.size());
        }
        text += line + '\n';
    }
    return text;
}

std::string FileNamePart(std::string text) {
    std::replace_if(
        text.begin(), text.end(),
        [](char c) { return !std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '.'; },
        '_');
    return text;
}

} // namespace

ProductionRun::ProductionRun(CliSession& session, const ProgramOptions& options,
                             const EdidImage& table, ProgramLog& log)
    : session_(session), options_(options), table_(table), log_(log) {}

ProductionRun::~ProductionRun() {
    for (std::thread& worker : workers_) {
        if (worker.joinable()) {
            worker.join();
        }
    }
}

void ProductionRun::Start(std::uint32_t number, const AttachedUnit& unit) {
    std::lock_guard<std::mutex> guard(mutex_);
    busy_.insert(unit.link);
    workers_.emplace_back([this, number, unit] {
        std::string messages;
        const UnitRecord record = Program(number, unit, &messages);
        Report(record, messages);
    });
}

bool ProductionRun::Busy(const std::string& link) {
    std::lock_guard<std::mutex> guard(mutex_);
    return busy_.count(link) != 0;
}

bool ProductionRun::Idle() {
    std::lock_guard<std::mutex> guard(mutex_);
    return busy_.empty();
}

void ProductionRun::Announce(const std::string& line) {
    std::lock_guard<std::mutex> guard(mutex_);
    session_.Out() << line << std::endl;
}

std::string ProductionRun::BackupPath(const std::string& link) const {
    return options_.backupDir + "/" + FileNamePart(link) + "-" + UtcFileStamp() + ".bin";
}

UnitRecord ProductionRun::Program(std::uint32_t number, const AttachedUnit& unit,
                                  std::string* messages) {
    const auto started = std::chrono::steady_clock::now();
    // The unit's own session: its messages are held back until it is done,
    // so that the units' lines do not mix, and a Ctrl+C lets it finish.
    const CliServices& shared = session_.Services();
    std::ostringstream out;
    std::ostringstream err;
    CliServices services{shared.library, shared.clock, out, err, false, shared.libraryProblem};
    services.bridgeProblem = [&shared] {
        // The bridge's last problem is the library's state, which another
        // worker's call may be changing.
        std::lock_guard<LibraryLock> guard(LibraryLock::Instance());
        return shared.bridgeProblem ? shared.bridgeProblem() : UsbProblem{};
    };
    CliSession session(services);
    session.unitNumber = number;
    session.bank = session_.bank;
    session.quiet = true;
    UnitLink link(session, unit.link);

    UnitRecord record;
    record.unit = number;
    record.link = unit.link;
    UnitWriteOptions write;
    write.setCustom = options_.setCustom;
    if (!options_.backupDir.empty()) {
        write.backup = BackupPath(unit.link);
    }
    int status = PrepareUnitForWrite(session, link, write);
    EdidImage table = table_;
    if (status == kExitDone && options_.serial.start) {
        // A number is handed out only to a unit that is about to be written,
        // so that the numbers follow the order in which units are programmed.
        std::optional<std::uint32_t> serial;
        {
            std::lock_guard<std::mutex> guard(mutex_);
            serial = PlannedSerial(options_.serial, serialsGiven_);
            serialsGiven_ += serial ? 1 : 0;
        }
        std::string reason;
        if (!serial) {
            session.Message("the serial numbers have run out at 4294967295; nothing was written");
            status = kExitUsage;
        } else if (!StampSerial(table, options_.serial, *serial, &reason)) {
            session.Message(reason + "; nothing was written");
            status = kExitUsage;
        } else {
            record.serial = *serial;
        }
    }
    if (status == kExitDone) {
        record.sha256 = Sha256Hex(table.data(), table.size());
        status = WriteAndVerify(session, link, table, false, &record.differingOffsets);
    }
    record.exitStatus = status;
    record.result = ResultWord(status);
    record.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    *messages = err.str();
    return record;
}

void ProductionRun::Report(const UnitRecord& finished, const std::string& messages) {
    std::lock_guard<std::mutex> guard(mutex_);
    UnitRecord record = finished;
    record.time = UtcTimestamp();
    const std::string who = "unit " + std::to_string(record.unit) + " at " + record.link;
    session_.Services().err << Attributed(messages, who) << std::flush;

    char seconds[32] = {};
    std::snprintf(seconds, sizeof seconds, "%.2f s", record.seconds);
    session_.Out() << "unit " << record.unit << "  " << record.link << "  serial "
                   << (record.serial ? std::to_string(*record.serial) : std::string("-")) << "  "
                   << record.result << "  " << seconds << std::endl;

    if (log_.IsOpen() && !logFailed_ && !log_.Append(record)) {
        logFailed_ = true;
        session_.Message("cannot write the log " + options_.logPath +
                         "; the units' lines are on the output");
    }
    (record.exitStatus == kExitDone       ? done_
     : record.exitStatus == kExitNegative ? refused_
                                          : failed_)++;
    worst_ = std::max(worst_, record.exitStatus);
    busy_.erase(record.link);
}

int ProductionRun::Finish() {
    for (std::thread& worker : workers_) {
        if (worker.joinable()) {
            worker.join();
        }
    }
    const int units = done_ + refused_ + failed_;
    session_.Out() << units << (units == 1 ? " unit: " : " units: ") << done_ << " done, "
                   << refused_ << " refused, " << failed_ << " failed" << std::endl;
    return logFailed_ ? std::max(worst_, int{kExitUsage}) : worst_;
}
