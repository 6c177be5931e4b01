#pragma once

#include "device/BridgeLibrary.h"
#include "device/BridgeLoadFailure.h"

#include <memory>
#include <mutex>
#include <string>

// The vendor's bridge library, loaded on first use and never linked. Windows
// binds SiUSBXp.dll by ordinal; other systems bind libSiUSBXp by the
// library's public names. When the library or any of its eight operations
// cannot be found, every operation fails, so the program acts as with no
// unit attached; why is kept for the front ends to tell.
struct VendorBridgeFunctions;

class VendorBridgeLibrary : public BridgeLibrary {
public:
    // The platform's library name: SiUSBXp.dll, libSiUSBXp.dylib or
    // libSiUSBXp.so.
    static const char* DefaultFileName();

    VendorBridgeLibrary();
    explicit VendorBridgeLibrary(std::string fileName);
    ~VendorBridgeLibrary() override;

    VendorBridgeLibrary(const VendorBridgeLibrary&) = delete;
    VendorBridgeLibrary& operator=(const VendorBridgeLibrary&) = delete;

    // Loads the library if that has not been tried yet; true when all eight
    // operations are bound.
    bool IsBound();
    // No failure while bound; otherwise the library file and the loader's
    // reason, so that a missing library can be told from a missing unit.
    BridgeLoadFailure LoadFailure();

    BridgeStatus GetNumDevices(std::uint32_t* count) override;
    BridgeStatus GetProductString(std::uint32_t index, char* buffer,
                                  DeviceStringOption option) override;
    BridgeStatus Open(std::uint32_t index, DeviceHandle* handle) override;
    BridgeStatus Close(DeviceHandle handle) override;
    BridgeStatus Read(DeviceHandle handle, std::uint8_t* buffer, std::uint32_t bytesToRead,
                      std::uint32_t* bytesReturned) override;
    BridgeStatus Write(DeviceHandle handle, const std::uint8_t* buffer, std::uint32_t bytesToWrite,
                       std::uint32_t* bytesWritten) override;
    BridgeStatus FlushBuffers(DeviceHandle handle, std::uint8_t flushTransmit,
                              std::uint8_t flushReceive) override;
    BridgeStatus CheckRXQueue(DeviceHandle handle, std::uint32_t* bytesInQueue,
                              std::uint32_t* queueStatus) override;

private:
    void Bind();
    void Unload();

    std::string fileName_;
    std::once_flag bindOnce_;
    void* module_ = nullptr;
    std::unique_ptr<VendorBridgeFunctions> functions_;
    BridgeLoadFailure loadFailure_;
};
