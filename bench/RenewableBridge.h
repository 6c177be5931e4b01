#pragma once

#include "device/Clock.h"
#include "device/ForwardingBridgeLibrary.h"
#include "sim/SimulatedBridge.h"
#include "sim/SimulatedUnit.h"

#include <memory>

// The simulated bridge behind a front that can swap it for a fresh one. The
// simulation logs every request; renewing it between runs keeps that log from
// growing with the run count, so the memory figures are the window's own.
// The unit, with its tables and mode, stays.
class RenewableBridge : public ForwardingBridgeLibrary {
public:
    RenewableBridge(Clock& clock, SimulatedUnit& unit)
        : clock_(clock), unit_(unit), bridge_(std::make_unique<SimulatedBridge>(clock, unit)) {}

    // Only between runs.
    void Renew() { bridge_ = std::make_unique<SimulatedBridge>(clock_, unit_); }

protected:
    BridgeLibrary& Target() override { return *bridge_; }

private:
    Clock& clock_;
    SimulatedUnit& unit_;
    std::unique_ptr<SimulatedBridge> bridge_;
};
