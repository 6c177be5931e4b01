#pragma once

#include "BridgeLibrary.h"
#include "SimulatedBridge.h"

#include <vector>

// What one call into the bridge library was for.
enum class CallKind { Count, Serial, Product, Open, Close, Read, Write, Flush, Queue };

struct TracedCall {
    CallKind kind;
    // Transactions that the unit had taken when the call returned: a write
    // call that reached the unit starts the next one.
    int transactions;
};

// Hands every call on to the simulated bridge and notes what it was for, so
// that a fault aimed at the n-th call of an operation can be judged by the
// part of the operation it hit.
class CallTrace : public BridgeLibrary {
public:
    explicit CallTrace(SimulatedBridge& bridge) : bridge_(bridge) {}

    BridgeStatus GetNumDevices(std::uint32_t* count) override {
        return Note(CallKind::Count, bridge_.GetNumDevices(count));
    }
    BridgeStatus GetProductString(std::uint32_t index, char* buffer,
                                  DeviceStringOption option) override {
        const CallKind kind =
            option == DeviceStringOption::SerialNumber ? CallKind::Serial : CallKind::Product;
        return Note(kind, bridge_.GetProductString(index, buffer, option));
    }
    BridgeStatus Open(std::uint32_t index, DeviceHandle* handle) override {
        return Note(CallKind::Open, bridge_.Open(index, handle));
    }
    BridgeStatus Close(DeviceHandle handle) override {
        return Note(CallKind::Close, bridge_.Close(handle));
    }
    BridgeStatus Read(DeviceHandle handle, std::uint8_t* buffer, std::uint32_t bytesToRead,
                      std::uint32_t* bytesReturned) override {
        return Note(CallKind::Read, bridge_.Read(handle, buffer, bytesToRead, bytesReturned));
    }
    BridgeStatus Write(DeviceHandle handle, const std::uint8_t* buffer, std::uint32_t bytesToWrite,
                       std::uint32_t* bytesWritten) override {
        return Note(CallKind::Write, bridge_.Write(handle, buffer, bytesToWrite, bytesWritten));
    }
    BridgeStatus FlushBuffers(DeviceHandle handle, std::uint8_t flushTransmit,
                              std::uint8_t flushReceive) override {
        return Note(CallKind::Flush, bridge_.FlushBuffers(handle, flushTransmit, flushReceive));
    }
    BridgeStatus CheckRXQueue(DeviceHandle handle, std::uint32_t* bytesInQueue,
                              std::uint32_t* queueStatus) override {
        return Note(CallKind::Queue, bridge_.CheckRXQueue(handle, bytesInQueue, queueStatus));
    }

    const std::vector<TracedCall>& Calls() const { return calls_; }

private:
    // Called with the call's status, so the transaction count is the one the
    // call left behind.
    BridgeStatus Note(CallKind kind, BridgeStatus status) {
        calls_.push_back({kind, bridge_.TransactionCount()});
        return status;
    }

    SimulatedBridge& bridge_;
    std::vector<TracedCall> calls_;
};
