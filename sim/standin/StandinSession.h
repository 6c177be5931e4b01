#pragma once

#include "device/BridgeLibrary.h"
#include "device/Clock.h"
#include "sim/SimulatedBridge.h"
#include "sim/SimulatedUnit.h"

#include <cstdint>
#include <fstream>
#include <mutex>
#include <string>

// The one simulated bridge behind the stand-in library, made on first use and
// set up from the library's own environment:
//   SIUSBXP_SIM_LOG     file that every log line is appended to, as it happens
//   SIUSBXP_SIM_CALLS   file that every call into the library is appended to,
//                       with its arguments and the status it returned
//   SIUSBXP_SIM_FAULTS  fault script applied at start (see FaultScript.h)
//   SIUSBXP_SIM_STATE   state file of the unit: loaded at start, saved after
//                       every call that changed the unit
class StandinSession {
public:
    static StandinSession& Instance();

    // Runs one library call, one at a time, as the vendor library may be
    // called from any thread. `description` names the call and its arguments
    // for the call log.
    template <typename Call> int Run(const std::string& description, Call call) {
        std::lock_guard<std::mutex> guard(mutex_);
        const BridgeStatus status = call(bridge_);
        SaveStateIfChanged();
        if (calls_.is_open()) {
            calls_ << description << " -> " << static_cast<int>(status) << std::endl;
        }
        return static_cast<int>(status);
    }

private:
    StandinSession();
    void SaveStateIfChanged();

    std::mutex mutex_;
    SystemClock clock_;
    SimulatedUnit unit_;
    SimulatedBridge bridge_;
    std::ofstream log_;
    std::ofstream calls_;
    std::string statePath_;
    std::uint64_t savedRevision_ = 0;
};
