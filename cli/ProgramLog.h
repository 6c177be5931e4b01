#pragma once

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

// What became of one unit of a production run.
struct UnitRecord {
    std::string time; // ISO 8601, UTC, when the unit finished
    std::uint32_t unit = 0;
    std::string link;
    std::optional<std::uint32_t> serial; // none: no serial was given to it
    std::string sha256;                  // of the table sent; empty: none was sent
    std::string result;                  // "verified", "refused", "failed", "interrupted"
    int exitStatus = 0;
    std::vector<std::size_t> differingOffsets;
    double seconds = 0;
};

// The run's record: one JSON object a line, appended, each line flushed as it
// is written, so that a crash loses no finished unit's line.
class ProgramLog {
public:
    // False, having set reason, when the file cannot be opened for appending.
    bool Open(const std::string& path, std::string* reason);
    bool IsOpen() const { return file_.is_open(); }
    // False once a line could not be written.
    bool Append(const UnitRecord& record);

private:
    std::ofstream file_;
};

// The record as the log's one line, without the line end.
std::string RecordJson(const UnitRecord& record);
// Now, as "2026-12-07T20:34:19Z".
std::string UtcTimestamp();
// Now, as "20261207T203419.123Z", for a file name that sorts by time.
std::string UtcFileStamp();
