// The stand-in bridge library's exports: the vendor's public names and
// signatures, backed by the simulated bridge. Everything else in the library
// is hidden.

#include "device/BridgeLibrary.h"
#include "sim/standin/StandinSession.h"

#include "sim/HexBytes.h"

#include <cstdint>
#include <string>

// SIUSBXP_EXPORT and SIUSBXP_CALL come from the build. On Windows
// SiUSBXp.def alone decides what the DLL exports, by ordinal and without
// names (a dllexport would add every operation once more under its name, on
// ordinals of the linker's choosing), in the vendor's __stdcall convention.
// Elsewhere the public names are the only visible symbols.

namespace {

DeviceHandle FromVendor(void* handle) {
    return reinterpret_cast<DeviceHandle>(handle);
}

std::string Number(std::uint32_t value) {
    return std::to_string(value);
}

} // namespace

extern "C" {

SIUSBXP_EXPORT int SIUSBXP_CALL SI_GetNumDevices(std::uint32_t* numDevices) {
    return StandinSession::Instance().Run("SI_GetNumDevices", [&](BridgeLibrary& bridge) {
        return bridge.GetNumDevices(numDevices);
    });
}

SIUSBXP_EXPORT int SIUSBXP_CALL SI_GetProductString(std::uint32_t deviceNum, void* deviceString,
                                                    std::uint32_t options) {
    const std::string call = "SI_GetProductString " + Number(deviceNum) + " " + Number(options);
    return StandinSession::Instance().Run(call, [&](BridgeLibrary& bridge) {
        return bridge.GetProductString(deviceNum, static_cast<char*>(deviceString),
                                       static_cast<DeviceStringOption>(options));
    });
}

SIUSBXP_EXPORT int SIUSBXP_CALL SI_Open(std::uint32_t deviceNum, void** handle) {
    return StandinSession::Instance().Run(
        "SI_Open " + Number(deviceNum), [&](BridgeLibrary& bridge) {
            if (handle == nullptr) {
                return bridge.Open(deviceNum, nullptr);
            }
            DeviceHandle opened = FromVendor(*handle);
            const BridgeStatus status = bridge.Open(deviceNum, &opened);
            *handle = reinterpret_cast<void*>(opened);
            return status;
        });
}

SIUSBXP_EXPORT int SIUSBXP_CALL SI_Close(void* handle) {
    return StandinSession::Instance().Run(
        "SI_Close", [&](BridgeLibrary& bridge) { return bridge.Close(FromVendor(handle)); });
}

SIUSBXP_EXPORT int SIUSBXP_CALL SI_Read(void* handle, void* buffer, std::uint32_t bytesToRead,
                                        std::uint32_t* bytesReturned, void* /*overlapped*/) {
    return StandinSession::Instance().Run(
        "SI_Read " + Number(bytesToRead), [&](BridgeLibrary& bridge) {
            return bridge.Read(FromVendor(handle), static_cast<std::uint8_t*>(buffer), bytesToRead,
                               bytesReturned);
        });
}

SIUSBXP_EXPORT int SIUSBXP_CALL SI_Write(void* handle, void* buffer, std::uint32_t bytesToWrite,
                                         std::uint32_t* bytesWritten, void* /*overlapped*/) {
    const std::string call =
        "SI_Write " + SpacedHex(static_cast<const std::uint8_t*>(buffer), bytesToWrite);
    return StandinSession::Instance().Run(call, [&](BridgeLibrary& bridge) {
        return bridge.Write(FromVendor(handle), static_cast<const std::uint8_t*>(buffer),
                            bytesToWrite, bytesWritten);
    });
}

SIUSBXP_EXPORT int SIUSBXP_CALL SI_FlushBuffers(void* handle, unsigned char flushTransmit,
                                                unsigned char flushReceive) {
    const std::string call =
        "SI_FlushBuffers " + Number(flushTransmit) + " " + Number(flushReceive);
    return StandinSession::Instance().Run(call, [&](BridgeLibrary& bridge) {
        return bridge.FlushBuffers(FromVendor(handle), flushTransmit, flushReceive);
    });
}

SIUSBXP_EXPORT int SIUSBXP_CALL SI_CheckRXQueue(void* handle, std::uint32_t* numBytesInQueue,
                                                std::uint32_t* queueStatus) {
    return StandinSession::Instance().Run("SI_CheckRXQueue", [&](BridgeLibrary& bridge) {
        return bridge.CheckRXQueue(FromVendor(handle), numBytesInQueue, queueStatus);
    });
}

} // extern "C"
