#pragma once

#include "device/BridgeLibrary.h"

// Hands every call on to another bridge library. A test or benchmark that
// watches or redirects the calls overrides only what it needs and passes the
// call on through this base.
class ForwardingBridgeLibrary : public BridgeLibrary {
public:
    explicit ForwardingBridgeLibrary(BridgeLibrary& target) : target_(&target) {}

    BridgeStatus GetNumDevices(std::uint32_t* count) override {
        return target_->GetNumDevices(count);
    }
    BridgeStatus GetProductString(std::uint32_t index, char* buffer,
                                  DeviceStringOption option) override {
        return target_->GetProductString(index, buffer, option);
    }
    BridgeStatus Open(std::uint32_t index, DeviceHandle* handle) override {
        return target_->Open(index, handle);
    }
    BridgeStatus Close(DeviceHandle handle) override { return target_->Close(handle); }
    BridgeStatus Read(DeviceHandle handle, std::uint8_t* buffer, std::uint32_t bytesToRead,
                      std::uint32_t* bytesReturned) override {
        return target_->Read(handle, buffer, bytesToRead, bytesReturned);
    }
    BridgeStatus Write(DeviceHandle handle, const std::uint8_t* buffer, std::uint32_t bytesToWrite,
                       std::uint32_t* bytesWritten) override {
        return target_->Write(handle, buffer, bytesToWrite, bytesWritten);
    }
    BridgeStatus FlushBuffers(DeviceHandle handle, std::uint8_t flushTransmit,
                              std::uint8_t flushReceive) override {
        return target_->FlushBuffers(handle, flushTransmit, flushReceive);
    }
    BridgeStatus CheckRXQueue(DeviceHandle handle, std::uint32_t* bytesInQueue,
                              std::uint32_t* queueStatus) override {
        return target_->CheckRXQueue(handle, bytesInQueue, queueStatus);
    }

protected:
    // Only between runs: handles that the old target gave out mean nothing
    // to the new one.
    void ForwardTo(BridgeLibrary& target) { target_ = &target; }

private:
    BridgeLibrary* target_;
};
