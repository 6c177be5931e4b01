#pragma once

#include "SimulatedUnit.h"

#include <QByteArray>

#include <cstdint>
#include <optional>
#include <vector>

// "11 10 B0 00" as bytes.
inline QByteArray Hex(const char* text) {
    return QByteArray::fromHex(text);
}

inline const std::uint8_t* Data(const QByteArray& bytes) {
    return reinterpret_cast<const std::uint8_t*>(bytes.constData());
}

inline QByteArray ToByteArray(const std::vector<std::uint8_t>& bytes) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), int(bytes.size()));
}

inline std::optional<QByteArray> Ask(SimulatedUnit& unit, const QByteArray& request) {
    const auto reply = unit.HandleRequest(Data(request), std::size_t(request.size()));
    if (!reply) {
        return std::nullopt;
    }
    return ToByteArray(*reply);
}

// A memory whose every byte tells its own offset and device address apart.
inline UnitMemory PatternMemory(std::uint8_t deviceAddress) {
    UnitMemory memory{};
    for (std::size_t i = 0; i < memory.size(); ++i) {
        memory[i] = std::uint8_t(i + deviceAddress);
    }
    return memory;
}
