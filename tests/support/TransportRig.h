#pragma once

#include "BridgeTransport.h"
#include "FakeClock.h"
#include "RecordingNativeWarning.h"
#include "SimulatedBridge.h"
#include "SimulatedUnit.h"

// The transport over a simulated unit, on a fake clock, with its native boxes
// recorded.
struct TransportRig {
    FakeClock clock;
    SimulatedUnit unit;
    SimulatedBridge bridge{clock, unit};
    RecordingNativeWarning warning;
    BridgeTransport transport{bridge, clock, warning};
};
