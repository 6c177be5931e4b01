#pragma once

#include "device/BridgeLibrary.h"

// Hands every call on to the bridge library that Target() names, so that a
// library which picks, watches or renews the one behind it overrides only
// what it changes, not the eight operations.
class ForwardingBridgeLibrary : public BridgeLibrary {
public:
    BridgeStatus GetNumDevices(std::uint32_t* count) override {
        return Target().GetNumDevices(count);
    }
    BridgeStatus GetProductString(std::uint32_t index, char* buffer,
                                  DeviceStringOption option) override {
        return Target().GetProductString(index, buffer, option);
    }
    BridgeStatus Open(std::uint32_t index, DeviceHandle* handle) override {
        return Target().Open(index, handle);
    }
    BridgeStatus Close(DeviceHandle handle) override { return Target().Close(handle); }
    BridgeStatus Read(DeviceHandle handle, std::uint8_t* buffer, std::uint32_t bytesToRead,
                      std::uint32_t* bytesReturned) override {
        return Target().Read(handle, buffer, bytesToRead, bytesReturned);
    }
    BridgeStatus Write(DeviceHandle handle, const std::uint8_t* buffer, std::uint32_t bytesToWrite,
                       std::uint32_t* bytesWritten) override {
        return Target().Write(handle, buffer, bytesToWrite, bytesWritten);
    }
    BridgeStatus FlushBuffers(DeviceHandle handle, std::uint8_t flushTransmit,
                              std::uint8_t flushReceive) override {
        return Target().FlushBuffers(handle, flushTransmit, flushReceive);
    }
    BridgeStatus CheckRXQueue(DeviceHandle handle, std::uint32_t* bytesInQueue,
                              std::uint32_t* queueStatus) override {
        return Target().CheckRXQueue(handle, bytesInQueue, queueStatus);
    }

protected:
    // Handles that one target gave out mean nothing to another: a target
    // changes only between runs.
    virtual BridgeLibrary& Target() = 0;
};
