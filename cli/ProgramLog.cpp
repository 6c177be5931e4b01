#include "cli/ProgramLog.h"

#include <nlohmann/json.hpp>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <mutex>

bool ProgramLog::Open(const std::string& path, std::string* reason) {
    errno = 0;
    file_.open(path, std::ios::out | std::ios::app | std::ios::binary);
    if (!file_) {
        *reason = errno != 0 ? std::strerror(errno) : "cannot be opened";
        return false;
    }
    return true;
}

bool ProgramLog::Append(const UnitRecord& record) {
    file_ << RecordJson(record) << '\n' << std::flush;
    return file_.good();
}

std::string RecordJson(const UnitRecord& record) {
    nlohmann::ordered_json line;
    line["time"] = record.time;
    line["unit"] = record.unit;
    line["link"] = record.link;
    line["serial"] = record.serial ? nlohmann::ordered_json(*record.serial) : nullptr;
    line["sha256"] = record.sha256.empty() ? nlohmann::ordered_json(nullptr)
                                           : nlohmann::ordered_json(record.sha256);
    line["result"] = record.result;
    line["exit_status"] = record.exitStatus;
    line["differing_offsets"] = record.differingOffsets;
    line["seconds"] = record.seconds;
    return line.dump();
}

namespace {

std::string FormatNow(const char* format, bool milliseconds) {
    // gmtime hands out one buffer for the whole process.
    static std::mutex bufferLock;
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    char text[40] = {};
    {
        std::lock_guard<std::mutex> guard(bufferLock);
        std::strftime(text, sizeof text, format, std::gmtime(&seconds));
    }
    if (!milliseconds) {
        return std::string(text) + "Z";
    }
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()) % 1000;
    char fraction[8] = {};
    std::snprintf(fraction, sizeof fraction, ".%03dZ", static_cast<int>(ms.count()));
    return text + std::string(fraction);
}

} // namespace

std::string UtcTimestamp() {
    return FormatNow("%Y-%m-%dT%H:%M:%S", false);
}

std::string UtcFileStamp() {
    return FormatNow("%Y%m%dT%H%M%S", true);
}
