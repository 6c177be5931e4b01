#pragma once

#include <cstddef>

// The eight operations of the bridge library, named so that a fault can be
// aimed at the n-th call of one of them.
enum class BridgeOperation {
    GetNumDevices,
    GetProductString,
    Open,
    Close,
    Read,
    Write,
    FlushBuffers,
    CheckRXQueue,
};

inline constexpr std::size_t kBridgeOperationCount = 8;
