#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

// One 256-byte EDID memory of the unit.
using UnitMemory = std::array<std::uint8_t, 256>;

// A software TALVO: one EDID memory per device address byte, the EDID mode,
// the read-error and EDID-reading counters, and an answer for every request
// the utility sends. It knows nothing of USB; SimulatedBridge carries the
// requests to it.
class SimulatedUnit {
public:
    static constexpr const char* kSerial = "2022";
    static constexpr std::uint8_t kAutomix = 1;
    static constexpr std::uint8_t kFixed = 2;
    static constexpr std::uint8_t kCustom = 3;
    // In the order the utility's selection index names them.
    static constexpr std::array<std::uint8_t, 5> kDeviceAddresses = {0xB0, 0xA0, 0xB2, 0xB4, 0xB6};

    SimulatedUnit();

    // The unit's reply to one request, or nothing for a request it does not
    // understand: it then stays silent, as the hardware does.
    //   block read     11 n addr a             -> n bytes of memory[addr] from a on
    //   block write    10 0C addr a d0..d7     -> 5 bytes, byte 0: 0 taken, 1 refused
    //   status         02                      -> read errors, EDID readings, mode
    //   status (long)  02 + 7 bytes            -> the same three bytes, then 7 zeros
    //   control        11 count ctrl 23 payload 0D -> count zeros
    // Control addresses E0, E1, E4 take the payload 24 code (mode 1..3); EA
    // and EB take 20 (EDID reset A, B).
    std::optional<std::vector<std::uint8_t>> HandleRequest(const std::uint8_t* request,
                                                           std::size_t length);

    // Any code may be set, also one that names no mode, so that a test can
    // show the utility a unit that reports one.
    std::uint8_t ModeCode() const { return modeCode_; }
    void SetModeCode(std::uint8_t code);

    static bool IsDeviceAddress(std::uint8_t deviceAddress);
    // An address that is no device address gives a table of zeros.
    const UnitMemory& Memory(std::uint8_t deviceAddress) const;
    // Ignored for an address that is no device address.
    void SetMemory(std::uint8_t deviceAddress, const UnitMemory& memory);
    // The table the unit starts with at that address: a valid EDID with a
    // CEA extension and correct checksums, its serial number and serial
    // text telling the addresses apart.
    static UnitMemory DefaultTable(std::uint8_t deviceAddress);

    // Eight-bit counters that wrap, as the status reply carries them.
    std::uint8_t ReadErrors() const { return readErrors_; }
    std::uint8_t EdidReadings() const { return edidReadings_; }
    void SetCounters(std::uint8_t readErrors, std::uint8_t edidReadings);
    std::uint32_t ResetCountA() const { return resetCountA_; }
    std::uint32_t ResetCountB() const { return resetCountB_; }

    // A fault, not state: every later block write at this offset, to any
    // device address, is answered as taken but stored with its first byte
    // inverted, as by a unit whose memory does not hold what it was sent.
    void StoreChunkWrongly(std::uint8_t offset) { miswrittenOffsets_.insert(offset); }

    // Goes up with every change of memory, mode, counters or reset counts, so
    // that a holder can tell when the state is worth saving.
    std::uint64_t Revision() const { return revision_; }

    // Mode, counters and every memory back to how the unit starts.
    void RestoreDefaults();

    // Writes a temporary file next to `path` and renames it over `path`, so
    // that a reader never sees half a state.
    bool SaveState(const std::string& path) const;
    // False, leaving the defaults, for a missing or malformed file.
    bool LoadState(const std::string& path);

private:
    std::optional<std::vector<std::uint8_t>> BlockRead(const std::uint8_t* request);
    std::vector<std::uint8_t> BlockWrite(const std::uint8_t* request);
    std::vector<std::uint8_t> StatusReply(std::size_t length) const;
    std::optional<std::vector<std::uint8_t>> Control(const std::uint8_t* request,
                                                     std::size_t length);
    UnitMemory* MemoryAt(std::uint8_t deviceAddress);
    void Changed() { ++revision_; }

    std::array<UnitMemory, kDeviceAddresses.size()> memories_{};
    std::uint8_t modeCode_ = kAutomix;
    std::uint8_t readErrors_ = 0;
    std::uint8_t edidReadings_ = 0;
    std::uint32_t resetCountA_ = 0;
    std::uint32_t resetCountB_ = 0;
    std::uint64_t revision_ = 0;
    std::set<std::uint8_t> miswrittenOffsets_;
};
