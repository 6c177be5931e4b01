#include "sim/SimulatedUnit.h"

#include <algorithm>

namespace {

constexpr std::uint8_t kStatusCommand = 0x02;
constexpr std::uint8_t kReadCommand = 0x11;
constexpr std::uint8_t kWriteCommand = 0x10;
constexpr std::uint8_t kControlCommand = 0x11;
constexpr std::uint8_t kControlMarker = 0x23; // '#'
constexpr std::uint8_t kControlEnd = 0x0D;
constexpr std::uint8_t kModeMarker = 0x24;   // '$'
constexpr std::uint8_t kResetPayload = 0x20; // ' '
constexpr std::uint8_t kModeControls[] = {0xE0, 0xE1, 0xE4};
constexpr std::uint8_t kResetAControl = 0xEA;
constexpr std::uint8_t kResetBControl = 0xEB;

constexpr std::size_t kReadLength = 4;
constexpr std::size_t kWriteLength = 12;
constexpr std::size_t kWriteDataLength = 8;
constexpr std::size_t kWriteReplyLength = 5;
constexpr std::size_t kStatusShortLength = 1;
constexpr std::size_t kStatusLongLength = 8;
constexpr std::size_t kStatusShortReplyLength = 3;
constexpr std::size_t kStatusLongReplyLength = 10;
// Header, '#', payload, carriage return.
constexpr std::size_t kControlOverhead = 5;

constexpr std::uint8_t kChunkTaken = 0;
constexpr std::uint8_t kChunkRefused = 1;

bool IsModeControl(std::uint8_t address) {
    return std::find(std::begin(kModeControls), std::end(kModeControls), address) !=
           std::end(kModeControls);
}

bool IsControlAddress(std::uint8_t address) {
    return IsModeControl(address) || address == kResetAControl || address == kResetBControl;
}

std::optional<std::size_t> MemoryIndex(std::uint8_t deviceAddress) {
    const auto& addresses = SimulatedUnit::kDeviceAddresses;
    const auto found = std::find(addresses.begin(), addresses.end(), deviceAddress);
    if (found == addresses.end()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(found - addresses.begin());
}

bool IsModeCode(std::uint8_t code) {
    return code >= SimulatedUnit::kAutomix && code <= SimulatedUnit::kCustom;
}

} // namespace

SimulatedUnit::SimulatedUnit() {
    RestoreDefaults();
}

void SimulatedUnit::RestoreDefaults() {
    for (std::size_t i = 0; i < kDeviceAddresses.size(); ++i) {
        memories_[i] = DefaultTable(kDeviceAddresses[i]);
    }
    modeCode_ = kAutomix;
    readErrors_ = 0;
    edidReadings_ = 0;
    resetCountA_ = 0;
    resetCountB_ = 0;
    Changed();
}

std::optional<std::vector<std::uint8_t>> SimulatedUnit::HandleRequest(const std::uint8_t* request,
                                                                      std::size_t length) {
    if (request == nullptr || length == 0) {
        return std::nullopt;
    }
    const std::uint8_t command = request[0];
    if (command == kStatusCommand && length == kStatusShortLength) {
        return StatusReply(kStatusShortReplyLength);
    }
    if (command == kStatusCommand && length == kStatusLongLength) {
        return StatusReply(kStatusLongReplyLength);
    }
    // A control request shares its command byte with the block read; the
    // control address and the '#' after it set it apart.
    if (command == kControlCommand && length >= kReadLength && IsControlAddress(request[2]) &&
        request[3] == kControlMarker) {
        return Control(request, length);
    }
    if (command == kReadCommand && length == kReadLength) {
        return BlockRead(request);
    }
    if (command == kWriteCommand && length == kWriteLength && request[1] == kWriteLength) {
        return BlockWrite(request);
    }
    return std::nullopt;
}

std::optional<std::vector<std::uint8_t>> SimulatedUnit::BlockRead(const std::uint8_t* request) {
    const std::uint8_t count = request[1];
    const UnitMemory* memory = MemoryAt(request[2]);
    if (memory == nullptr) {
        ++readErrors_;
        Changed();
        return std::nullopt;
    }
    ++edidReadings_;
    Changed();
    // The unit's address counter is eight bits wide and wraps.
    std::vector<std::uint8_t> reply(count);
    for (std::size_t i = 0; i < count; ++i) {
        reply[i] = (*memory)[static_cast<std::uint8_t>(request[3] + i)];
    }
    return reply;
}

std::vector<std::uint8_t> SimulatedUnit::BlockWrite(const std::uint8_t* request) {
    std::vector<std::uint8_t> reply(kWriteReplyLength, 0);
    reply[0] = kChunkRefused;
    UnitMemory* memory = MemoryAt(request[2]);
    const std::size_t offset = request[3];
    if (memory == nullptr || offset + kWriteDataLength > memory->size()) {
        return reply;
    }
    std::copy(request + 4, request + 4 + kWriteDataLength, memory->begin() + offset);
    if (miswrittenOffsets_.count(request[3]) > 0) {
        (*memory)[offset] = static_cast<std::uint8_t>(~(*memory)[offset]);
    }
    Changed();
    reply[0] = kChunkTaken;
    return reply;
}

std::vector<std::uint8_t> SimulatedUnit::StatusReply(std::size_t length) const {
    std::vector<std::uint8_t> reply(length, 0);
    reply[0] = readErrors_;
    reply[1] = edidReadings_;
    reply[2] = modeCode_;
    return reply;
}

std::optional<std::vector<std::uint8_t>> SimulatedUnit::Control(const std::uint8_t* request,
                                                                std::size_t length) {
    if (length < kControlOverhead || request[length - 1] != kControlEnd) {
        return std::nullopt;
    }
    const std::uint8_t address = request[2];
    const std::uint8_t* payload = request + 4;
    const std::size_t payloadLength = length - kControlOverhead;

    if (IsModeControl(address) && payloadLength == 2 && payload[0] == kModeMarker &&
        IsModeCode(payload[1])) {
        SetModeCode(payload[1]);
    } else if (address == kResetAControl && payloadLength == 1 && payload[0] == kResetPayload) {
        ++resetCountA_;
        Changed();
    } else if (address == kResetBControl && payloadLength == 1 && payload[0] == kResetPayload) {
        ++resetCountB_;
        Changed();
    } else {
        return std::nullopt;
    }
    return std::vector<std::uint8_t>(request[1], 0);
}

void SimulatedUnit::SetModeCode(std::uint8_t code) {
    modeCode_ = code;
    Changed();
}

bool SimulatedUnit::IsDeviceAddress(std::uint8_t deviceAddress) {
    return MemoryIndex(deviceAddress).has_value();
}

UnitMemory* SimulatedUnit::MemoryAt(std::uint8_t deviceAddress) {
    const std::optional<std::size_t> index = MemoryIndex(deviceAddress);
    return index ? &memories_[*index] : nullptr;
}

const UnitMemory& SimulatedUnit::Memory(std::uint8_t deviceAddress) const {
    static const UnitMemory kNoMemory{};
    const std::optional<std::size_t> index = MemoryIndex(deviceAddress);
    return index ? memories_[*index] : kNoMemory;
}

void SimulatedUnit::SetMemory(std::uint8_t deviceAddress, const UnitMemory& memory) {
    if (UnitMemory* target = MemoryAt(deviceAddress)) {
        *target = memory;
        Changed();
    }
}

void SimulatedUnit::SetCounters(std::uint8_t readErrors, std::uint8_t edidReadings) {
    readErrors_ = readErrors;
    edidReadings_ = edidReadings;
    Changed();
}
