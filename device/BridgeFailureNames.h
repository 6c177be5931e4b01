#pragma once

#include "device/BridgeLibrary.h"

// The name that the bridge library's documentation gives a failure value
// ("device not found" for 0xFF), for the front ends to show beside the
// number; null for a value it does not document.
const char* BridgeFailureName(BridgeStatus status);
