#include "sim/standin/StandinSession.h"

#include "sim/FaultScript.h"

#include <cstdlib>

namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

} // namespace

StandinSession& StandinSession::Instance() {
    static StandinSession session;
    return session;
}

StandinSession::StandinSession() : bridge_(clock_, unit_) {
    statePath_ = Environment("SIUSBXP_SIM_STATE");
    if (!statePath_.empty()) {
        unit_.LoadState(statePath_);
    }

    const std::string faultsPath = Environment("SIUSBXP_SIM_FAULTS");
    FaultScript script;
    if (!faultsPath.empty() && LoadFaultScript(faultsPath, &script)) {
        ApplyFaultScript(script, bridge_, unit_);
    }
    // A mode set by the script is the unit's state from here on, but it is
    // saved only along with the next change the program makes.
    savedRevision_ = unit_.Revision();

    const std::string callsPath = Environment("SIUSBXP_SIM_CALLS");
    if (!callsPath.empty()) {
        calls_.open(callsPath, std::ios::app);
    }

    const std::string logPath = Environment("SIUSBXP_SIM_LOG");
    if (!logPath.empty()) {
        log_.open(logPath, std::ios::app);
        bridge_.SetLogListener([this](const std::string& line) { log_ << line << std::endl; });
    }
}

void StandinSession::SaveStateIfChanged() {
    if (statePath_.empty() || unit_.Revision() == savedRevision_) {
        return;
    }
    if (unit_.SaveState(statePath_)) {
        savedRevision_ = unit_.Revision();
    }
}
