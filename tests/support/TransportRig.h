#pragma once

#include "device/BridgeTransport.h"
#include "sim/FakeClock.h"
#include "sim/SimulatedBridge.h"
#include "sim/SimulatedUnit.h"
#include "tests/support/RecordingNativeWarning.h"

// The transport over a simulated unit, on a fake clock, with its native boxes
// recorded.
struct TransportRig {
    FakeClock clock;
    SimulatedUnit unit;
    SimulatedBridge bridge{clock, unit};
    RecordingNativeWarning warning;
    BridgeTransport transport{bridge, clock, warning};
};
