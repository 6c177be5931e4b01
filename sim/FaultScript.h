#pragma once

#include "sim/BridgeOperation.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class SimulatedBridge;
class SimulatedUnit;

// A fault script sets up the simulated bridge and unit from a text file, one
// directive a line; '#' starts a comment, and a line that is no directive is
// skipped.
//   devices 1234,2022     bridge devices in order; those with serial 2022 are the unit
//   fail open 2           the 2nd call of an operation fails (count, string, open,
//                         close, read, write, flush, queue)
//   fail-call 7           the 7th library call of any kind fails
//   noreply 3             transaction 3 gets no reply
//   late 3 1500           transaction 3's reply comes 1500 ms late
//   short 4 2             transaction 4's reply is cut to 2 bytes
//   errorbyte 5 1         transaction 5's reply byte 0 is 1
//   vanish 10             the unit is unplugged after 10 transactions
//   delay 5               every reply comes 5 ms after its request
//   mode 3                the unit's EDID mode code
//   miswrite 0x40         block writes at offset 0x40 are taken but stored wrongly
//   bench 8               eight units, each with its own memory, mode and faults,
//                         attached at links 1-1 to 1-8, starting as the unit stands
//   unit 2 mode 2         device 2 (from 0) alone: its mode code, or, with noreply,
//                         delay or vanish, a fault counting its own transactions,
//                         or, with plug or unplug, when it comes or goes (ms after
//                         the start)
// Numbers are decimal or 0x-prefixed hex; call and transaction numbers count
// from 1.
struct FaultDirective {
    enum class Kind {
        Devices,
        FailOperation,
        FailCallNumber,
        NoReply,
        Late,
        Short,
        ErrorByte,
        Vanish,
        Delay,
        Mode,
        Miswrite,
        Bench,
        Plug,
        Unplug,
    };

    Kind kind = Kind::Devices;
    std::vector<std::string> serials;                           // Devices
    BridgeOperation operation = BridgeOperation::GetNumDevices; // FailOperation
    std::uint32_t number = 0; // the call, transaction, count, delay, mode code or offset
    std::uint32_t value = 0;  // Late: ms; Short: bytes; ErrorByte: the byte
    // The device that a "unit" line aims at; none: the bridge and its unit.
    std::optional<std::uint32_t> device;
};

struct FaultScript {
    std::vector<FaultDirective> directives;
    // Lines, counted from 1, that held something other than a directive.
    std::vector<int> skippedLines;
};

FaultScript ParseFaultScript(const std::string& text);
// False when the file cannot be read.
bool LoadFaultScript(const std::string& path, FaultScript* script);
void ApplyFaultScript(const FaultScript& script, SimulatedBridge& bridge, SimulatedUnit& unit);
