#pragma once

#include "BridgeTransport.h"
#include "TransferSink.h"

#include <cstdint>

// Reads the unit's 256-byte table in sixteen 16-byte chunks, sends the
// eight-byte status request and shows the table. False, with the Hex view
// untouched, when the unit could not be opened or a chunk was not read.
bool ReadEDIDfromDevice(BridgeTransport& transport, TransferSink& sink, std::uint8_t deviceAddress);
