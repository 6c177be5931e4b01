#pragma once

#include "device/BridgeLibrary.h"
#include "device/Clock.h"
#include "sim/BridgeOperation.h"
#include "sim/SimulatedUnit.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

// One attached bridge device. Those that are the unit carry requests to it;
// the others take requests and never answer.
struct SimulatedDevice {
    std::string serial;
    std::string product;
    bool isUnit;
    // A unit of its own, with its own memory, mode and counters, as on a
    // bench of several; null: the bridge's unit, which such devices share.
    std::shared_ptr<SimulatedUnit> unit = nullptr;
    // Where it is attached ("1-4"); empty: the bridge cannot tell.
    std::string link = {};
    // Faults of this device alone, its transactions counted from 1 on their
    // own: a reply delay added to the bridge's, transactions that get no
    // reply, and an unplug once that many transactions are done.
    std::uint32_t replyDelayMs = 0;
    std::set<int> silentTransactions = {};
    std::optional<int> vanishAfter = std::nullopt;
    // Present only from plugAtMs and before unplugAtMs, counted on the
    // bridge's clock from the first time a device with either was set.
    std::optional<std::uint32_t> plugAtMs = std::nullopt;
    std::optional<std::uint32_t> unplugAtMs = std::nullopt;
};

// The two flags of one FlushBuffers call, as the caller gave them.
struct FlushFlags {
    std::uint8_t transmit;
    std::uint8_t receive;
    bool operator==(const FlushFlags& other) const {
        return transmit == other.transmit && receive == other.receive;
    }
};

// The bridge library in-process, with the simulated unit behind it, and a
// fault injector: any operation failing at its n-th call, replies that never
// come, come late, come short or carry an error byte, and a unit that is
// unplugged after n transactions. A transaction is one successful write to
// the unit, numbered from 1.
class SimulatedBridge : public BridgeLibrary {
public:
    // One device by default: the unit, serial "2022", product "TALVO".
    SimulatedBridge(Clock& clock, SimulatedUnit& unit);

    // In the library's device order; closes every open handle.
    void SetDevices(std::vector<SimulatedDevice> devices);
    // As set, present or not.
    std::vector<SimulatedDevice> Devices() const;

    // Faults. Each may be given several times; calls are counted from 1,
    // failing ones included. An injected failure changes nothing, except that
    // a failing close still releases its handle, so that one fault does not
    // lock the unit away for the rest of a run.
    void FailCall(BridgeOperation operation, int n);
    void FailCallNumber(int n);
    // The unit still acts on the request; only its reply is lost.
    void ReplyNever(int transaction);
    void ReplyLate(int transaction, std::uint32_t delayMs);
    void ReplyShort(int transaction, std::size_t bytes);
    // Replaces reply byte 0.
    void ReplyErrorByte(int transaction, std::uint8_t value);
    // Once that many transactions are done and their replies read, flushed or
    // dropped by a close, the unit's devices are gone: the count leaves them
    // out and every call on their open handles fails, except a close, which
    // succeeds and releases the handle.
    void VanishAfter(int transactions);
    // Delay of every reply; 0 (the default) has a reply waiting as soon as its
    // request is written, without asking the clock.
    void SetReplyDelay(std::uint32_t ms);

    // Told every log line as it is recorded.
    void SetLogListener(std::function<void(const std::string&)> listener);

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

    // "open", "close" for each successful one, and every written request as
    // upper-case hex pairs separated by single spaces ("11 10 B0 00").
    const std::vector<std::string>& Log() const { return log_; }
    // Every successfully written request, to any device, in order.
    std::vector<std::vector<std::uint8_t>> Requests() const { return requests_; }
    // The flags of every FlushBuffers call, failing ones included, in order.
    // Requests leave at once, so a flush of the transmit side changes
    // nothing here: only its flag shows whether it was asked for.
    const std::vector<FlushFlags>& Flushes() const { return flushes_; }
    int OpenHandles() const;
    int CallCount() const { return callCount_; }
    int CallCount(BridgeOperation operation) const;
    int TransactionCount() const { return transactionCount_; }
    // True while every call so far arrived with the Library lock held.
    bool EveryCallLocked() const { return everyCallLocked_; }
    bool Vanished() const { return vanished_; }

private:
    struct PendingReply {
        std::vector<std::uint8_t> bytes;
        // Absent: waiting from the moment it was queued.
        std::optional<std::uint32_t> dueAt;
    };
    struct DeviceState {
        SimulatedDevice info;
        DeviceHandle handle = kNoDevice;
        std::deque<PendingReply> replies;
        int transactions = 0;
        bool gone = false; // unplugged by its own fault
    };
    struct TransactionFault {
        bool never = false;
        std::uint32_t lateMs = 0;
        std::optional<std::size_t> shortBytes;
        std::optional<std::uint8_t> errorByte;
    };

    // Counts the call and tells whether it is to fail by injection.
    bool BeginCall(BridgeOperation operation);
    void UpdatePresence();
    bool IsPresent(const DeviceState& device) const;
    bool IsScheduledIn(const SimulatedDevice& device) const;
    DeviceState* PresentDevice(std::uint32_t index);
    DeviceState* OpenedDevice(DeviceHandle handle);
    void Transact(DeviceState& device, const std::vector<std::uint8_t>& request);
    bool IsDue(const PendingReply& reply);
    std::uint32_t WaitingBytes(DeviceState& device);
    void Record(const std::string& line);

    Clock& clock_;
    SimulatedUnit& unit_;
    std::vector<DeviceState> devices_;

    std::array<std::set<int>, kBridgeOperationCount> failingOperationCalls_;
    std::set<int> failingCallNumbers_;
    std::map<int, TransactionFault> transactionFaults_;
    std::optional<int> vanishAfter_;
    bool vanished_ = false;
    std::uint32_t replyDelayMs_ = 0;
    std::optional<std::uint32_t> scheduleStart_;

    DeviceHandle nextHandle_;
    int callCount_ = 0;
    std::array<int, kBridgeOperationCount> operationCallCounts_{};
    int transactionCount_ = 0;
    bool everyCallLocked_ = true;
    std::vector<std::string> log_;
    std::vector<std::vector<std::uint8_t>> requests_;
    std::vector<FlushFlags> flushes_;
    std::function<void(const std::string&)> logListener_;
};
