#pragma once

#include "device/BridgeLibrary.h"

// What the transport and the control commands meet on their way, told at the
// moment it happens, before the operation goes on or returns. A front end
// may show each at once (the window does, in a box of the transport's own)
// or keep it for the one line it says about the operation.
enum class TransportEvent {
    SerialStringFailed,  // a device's serial string could not be had; the search goes on
    ProductStringFailed, // the unit's product string could not be had; not opened
    OpenFailed,          // the unit could not be opened
    FlushFailed,         // its buffers could not be flushed; closed again
    CloseFailed,         // closing failed; the handle is dropped all the same
    InvalidHandle,       // a transaction with no device open; nothing sent
    SendFailed,          // a request could not be written
    QueueCheckFailed,    // a receive-queue check failed during the wait
    ReadFailed,          // a reply could not be read
    CommandUnitNotFound, // a control request could not open the unit
};

class TransportEvents {
public:
    virtual ~TransportEvents() = default;
    // status: the library's status of the failing call; kBridgeSuccess for
    // the events that no failing call caused (InvalidHandle,
    // CommandUnitNotFound).
    virtual void OnTransportEvent(TransportEvent event, BridgeStatus status) = 0;
};
