#include "RenewableBridge.h"

RenewableBridge::RenewableBridge(Clock& clock, SimulatedUnit& unit)
    : clock_(clock), unit_(unit), bridge_(std::make_unique<SimulatedBridge>(clock, unit)) {}

void RenewableBridge::Renew() {
    bridge_ = std::make_unique<SimulatedBridge>(clock_, unit_);
}

BridgeStatus RenewableBridge::GetNumDevices(std::uint32_t* count) {
    return bridge_->GetNumDevices(count);
}

BridgeStatus RenewableBridge::GetProductString(std::uint32_t index, char* buffer,
                                               DeviceStringOption option) {
    return bridge_->GetProductString(index, buffer, option);
}

BridgeStatus RenewableBridge::Open(std::uint32_t index, DeviceHandle* handle) {
    return bridge_->Open(index, handle);
}

BridgeStatus RenewableBridge::Close(DeviceHandle handle) {
    return bridge_->Close(handle);
}

BridgeStatus RenewableBridge::Read(DeviceHandle handle, std::uint8_t* buffer,
                                   std::uint32_t bytesToRead, std::uint32_t* bytesReturned) {
    return bridge_->Read(handle, buffer, bytesToRead, bytesReturned);
}

BridgeStatus RenewableBridge::Write(DeviceHandle handle, const std::uint8_t* buffer,
                                    std::uint32_t bytesToWrite, std::uint32_t* bytesWritten) {
    return bridge_->Write(handle, buffer, bytesToWrite, bytesWritten);
}

BridgeStatus RenewableBridge::FlushBuffers(DeviceHandle handle, std::uint8_t flushTransmit,
                                           std::uint8_t flushReceive) {
    return bridge_->FlushBuffers(handle, flushTransmit, flushReceive);
}

BridgeStatus RenewableBridge::CheckRXQueue(DeviceHandle handle, std::uint32_t* bytesInQueue,
                                           std::uint32_t* queueStatus) {
    return bridge_->CheckRXQueue(handle, bytesInQueue, queueStatus);
}
