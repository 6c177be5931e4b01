#pragma once

#include "device/BridgeTransport.h"
#include "sim/FakeClock.h"
#include "sim/SimulatedBridge.h"
#include "sim/SimulatedUnit.h"
#include "tests/support/RecordingTransportEvents.h"

// The transport over a simulated unit, on a fake clock, with its events
// recorded.
struct TransportRig {
    FakeClock clock;
    SimulatedUnit unit;
    SimulatedBridge bridge{clock, unit};
    RecordingTransportEvents events;
    BridgeTransport transport{bridge, clock, events};
};
