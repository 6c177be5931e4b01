#pragma once

#include <cstdint>

// The USB bridge vendor library as the program uses it: eight operations, each
// returning the vendor's 32-bit status, 0 for success. The program acts alike
// on every failure value; it only passes the value on, for the front ends to
// tell the user.
using BridgeStatus = std::uint32_t;
inline constexpr BridgeStatus kBridgeSuccess = 0;

// The failure values that the library documents; any other value is a
// failure too.
enum class BridgeFailure : BridgeStatus {
    InvalidHandle = 0x01,
    ReadError = 0x02,
    RxQueueNotReady = 0x03,
    WriteError = 0x04,
    ResetError = 0x05,
    InvalidParameter = 0x06,
    InvalidRequestLength = 0x07,
    DeviceIoFailed = 0x08,
    InvalidBaudRate = 0x09,
    FunctionNotSupported = 0x0A,
    GlobalDataError = 0x0B,
    SystemErrorCode = 0x0C,
    ReadTimedOut = 0x0D,
    WriteTimedOut = 0x0E,
    IoPending = 0x0F,
    DeviceNotFound = 0xFF,
};

// Pointer-sized so that a library port that hands out pointers fits; the
// all-ones value means that no device is open.
using DeviceHandle = std::uintptr_t;
inline constexpr DeviceHandle kNoDevice = ~DeviceHandle{0};

// Size of the buffers that the device string query fills.
inline constexpr std::uint32_t kDeviceStringSize = 256;

// Options of the device string query.
enum class DeviceStringOption : std::uint32_t {
    SerialNumber = 0,
    Description = 2, // the product string
    // Where the device is attached ("1-4.2": USB bus 1, hub port 4, port 2),
    // which tells apart units that share one serial string. Only the
    // program's own bridges answer it; a library that does not know it fails
    // the call, and the device is then known by its place in the list.
    UsbLink = 0x80,
};

class BridgeLibrary {
public:
    virtual ~BridgeLibrary() = default;

    virtual BridgeStatus GetNumDevices(std::uint32_t* count) = 0;
    // Fills a zero-terminated string of at most kDeviceStringSize bytes.
    virtual BridgeStatus GetProductString(std::uint32_t index, char* buffer,
                                          DeviceStringOption option) = 0;
    virtual BridgeStatus Open(std::uint32_t index, DeviceHandle* handle) = 0;
    virtual BridgeStatus Close(DeviceHandle handle) = 0;
    virtual BridgeStatus Read(DeviceHandle handle, std::uint8_t* buffer, std::uint32_t bytesToRead,
                              std::uint32_t* bytesReturned) = 0;
    virtual BridgeStatus Write(DeviceHandle handle, const std::uint8_t* buffer,
                               std::uint32_t bytesToWrite, std::uint32_t* bytesWritten) = 0;
    virtual BridgeStatus FlushBuffers(DeviceHandle handle, std::uint8_t flushTransmit,
                                      std::uint8_t flushReceive) = 0;
    virtual BridgeStatus CheckRXQueue(DeviceHandle handle, std::uint32_t* bytesInQueue,
                                      std::uint32_t* queueStatus) = 0;
};
