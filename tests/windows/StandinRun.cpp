#include "tests/windows/StandinRun.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

StandinRun::StandinRun(const std::string& name, const std::string& faultScript)
    : logPath_(name + "-requests.log") {
    std::remove(logPath_.c_str());
    _putenv_s("SIUSBXP_SIM_LOG", logPath_.c_str());
    // An empty value removes the variable: no state file, so every run
    // starts from the unit's defaults whatever the caller's environment.
    _putenv_s("SIUSBXP_SIM_STATE", "");
    if (faultScript.empty()) {
        _putenv_s("SIUSBXP_SIM_FAULTS", "");
        return;
    }
    const std::string faultsPath = name + "-faults.txt";
    std::ofstream(faultsPath) << faultScript;
    _putenv_s("SIUSBXP_SIM_FAULTS", faultsPath.c_str());
}

std::vector<std::string> StandinRun::NewLogLines() {
    std::ifstream log(logPath_);
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t index = 0; std::getline(log, line); ++index) {
        if (index >= linesSeen_) {
            lines.push_back(line);
        }
    }
    linesSeen_ += lines.size();
    return lines;
}

bool SameLines(const std::vector<std::string>& actual, const std::vector<std::string>& expected) {
    if (actual == expected) {
        return true;
    }
    std::printf("request log differs; expected %zu lines, got %zu:\n", expected.size(),
                actual.size());
    for (std::size_t i = 0; i < actual.size() || i < expected.size(); ++i) {
        std::printf("  %-40s | %s\n", i < expected.size() ? expected[i].c_str() : "(none)",
                    i < actual.size() ? actual[i].c_str() : "(none)");
    }
    return false;
}
