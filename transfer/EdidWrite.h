#pragma once

#include "BridgeTransport.h"
#include "ControlCommands.h"
#include "TransferSink.h"

#include <cstdint>

// Writes the table of the Hex view to the unit in 32 chunks of 8 bytes, each
// followed by a 50 ms wait. True only when every chunk was taken.
bool WriteEDIDtoDevice(BridgeTransport& transport, TransferSink& sink, std::uint8_t deviceAddress);

// The unit's two EDID reset commands, 50 ms apart, sent after every write
// run that passed the mode check.
void ResetAfterWrite(ControlCommands& commands, Clock& clock);
