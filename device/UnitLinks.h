#pragma once

#include "device/BridgeLibrary.h"

#include <cstdint>
#include <string>
#include <vector>

// Units all carry the same serial string, so on a bench of several a unit is
// known by where it is attached: its USB link where the bridge tells it,
// otherwise "device N", its place in the bridge library's list.
std::string BridgeDeviceLink(BridgeLibrary& library, std::uint32_t index);

struct AttachedUnit {
    std::uint32_t index = 0; // in the bridge library's list
    std::string link;
};

// Every attached unit, in the library's order; the library's status of the
// device count, which lists nothing unless it succeeded. A device whose
// serial string cannot be had is left out. Each call into the library is
// made under the Library lock.
BridgeStatus ListAttachedUnits(BridgeLibrary& library, std::vector<AttachedUnit>* units);
