#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Sets up the stand-in SiUSBXp.dll that the program loads, through its own
// environment, and reads back the requests it logged. The stand-in reads its
// environment once, at its first call, so this comes before any library call.
class StandinRun {
public:
    // Starts an empty request log under that name in the working directory;
    // the fault script is written beside it when given.
    explicit StandinRun(const std::string& name, const std::string& faultScript = "");

    // Log lines written since the previous call.
    std::vector<std::string> NewLogLines();

private:
    std::string logPath_;
    std::size_t linesSeen_ = 0;
};

// Prints both sides when the lines differ, so that a failed check shows the
// first byte that went wrong.
bool SameLines(const std::vector<std::string>& actual, const std::vector<std::string>& expected);
