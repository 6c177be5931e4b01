#include "sim/SimulatedBridge.h"

#include "device/LibraryLock.h"
#include "sim/HexBytes.h"

#include <algorithm>
#include <cstring>

namespace {

// Failure statuses of the simulated library; callers only ever test for 0.
constexpr BridgeStatus kInjectedFailure = 0x5F;
constexpr BridgeStatus kNoSuchDevice = 0x51;
constexpr BridgeStatus kInvalidHandle = 0x52;
constexpr BridgeStatus kInvalidParameter = 0x53;
constexpr BridgeStatus kDeviceBusy = 0x54;

constexpr std::uint32_t kQueueEmpty = 0;
constexpr std::uint32_t kQueueHasData = 1;

// An arbitrary base, far from 0 and from the all-ones "no device" value.
constexpr DeviceHandle kFirstHandle = 0x5A100;
constexpr DeviceHandle kHandleStep = 0x10;

std::size_t Index(BridgeOperation operation) {
    return static_cast<std::size_t>(operation);
}

} // namespace

SimulatedBridge::SimulatedBridge(Clock& clock, SimulatedUnit& unit)
    : clock_(clock), unit_(unit), nextHandle_(kFirstHandle) {
    SetDevices({{SimulatedUnit::kSerial, "TALVO", true}});
}

void SimulatedBridge::SetDevices(std::vector<SimulatedDevice> devices) {
    devices_.clear();
    for (SimulatedDevice& device : devices) {
        if (!scheduleStart_ && (device.plugAtMs || device.unplugAtMs)) {
            scheduleStart_ = clock_.TickCount();
        }
        devices_.push_back(DeviceState{std::move(device), kNoDevice, {}, 0, false});
    }
}

std::vector<SimulatedDevice> SimulatedBridge::Devices() const {
    std::vector<SimulatedDevice> devices;
    for (const DeviceState& device : devices_) {
        devices.push_back(device.info);
    }
    return devices;
}

void SimulatedBridge::FailCall(BridgeOperation operation, int n) {
    failingOperationCalls_[Index(operation)].insert(n);
}

void SimulatedBridge::FailCallNumber(int n) {
    failingCallNumbers_.insert(n);
}

void SimulatedBridge::ReplyNever(int transaction) {
    transactionFaults_[transaction].never = true;
}

void SimulatedBridge::ReplyLate(int transaction, std::uint32_t delayMs) {
    transactionFaults_[transaction].lateMs = delayMs;
}

void SimulatedBridge::ReplyShort(int transaction, std::size_t bytes) {
    transactionFaults_[transaction].shortBytes = bytes;
}

void SimulatedBridge::ReplyErrorByte(int transaction, std::uint8_t value) {
    transactionFaults_[transaction].errorByte = value;
}

void SimulatedBridge::VanishAfter(int transactions) {
    vanishAfter_ = transactions;
}

void SimulatedBridge::SetReplyDelay(std::uint32_t ms) {
    replyDelayMs_ = ms;
}

void SimulatedBridge::SetLogListener(std::function<void(const std::string&)> listener) {
    logListener_ = std::move(listener);
}

int SimulatedBridge::OpenHandles() const {
    return static_cast<int>(std::count_if(devices_.begin(), devices_.end(),
                                          [](const auto& d) { return d.handle != kNoDevice; }));
}

int SimulatedBridge::CallCount(BridgeOperation operation) const {
    return operationCallCounts_[Index(operation)];
}

bool SimulatedBridge::BeginCall(BridgeOperation operation) {
    everyCallLocked_ = everyCallLocked_ && LibraryLock::Instance().IsHeld();
    ++callCount_;
    const int operationCall = ++operationCallCounts_[Index(operation)];
    UpdatePresence();
    return failingCallNumbers_.count(callCount_) == 0 &&
           failingOperationCalls_[Index(operation)].count(operationCall) == 0;
}

// The unit is pulled out only once the reply of its last transaction is out of
// the way, so that the last transaction completes as any other.
void SimulatedBridge::UpdatePresence() {
    for (DeviceState& device : devices_) {
        const auto& after = device.info.vanishAfter;
        device.gone =
            device.gone || (after && device.transactions >= *after && device.replies.empty());
    }
    if (vanished_ || !vanishAfter_ || transactionCount_ < *vanishAfter_) {
        return;
    }
    vanished_ = std::none_of(devices_.begin(), devices_.end(), [](const DeviceState& device) {
        return device.info.isUnit && !device.replies.empty();
    });
}

bool SimulatedBridge::IsPresent(const DeviceState& device) const {
    return !(vanished_ && device.info.isUnit) && !device.gone && IsScheduledIn(device.info);
}

// Asks the clock only for a device with a schedule, so that the others leave
// a test clock's time alone.
bool SimulatedBridge::IsScheduledIn(const SimulatedDevice& device) const {
    if (!device.plugAtMs && !device.unplugAtMs) {
        return true;
    }
    const std::uint32_t elapsed = clock_.TickCount() - *scheduleStart_;
    return (!device.plugAtMs || elapsed >= *device.plugAtMs) &&
           (!device.unplugAtMs || elapsed < *device.unplugAtMs);
}

SimulatedBridge::DeviceState* SimulatedBridge::PresentDevice(std::uint32_t index) {
    for (DeviceState& device : devices_) {
        if (IsPresent(device) && index-- == 0) {
            return &device;
        }
    }
    return nullptr;
}

SimulatedBridge::DeviceState* SimulatedBridge::OpenedDevice(DeviceHandle handle) {
    if (handle == kNoDevice) {
        return nullptr;
    }
    const auto found = std::find_if(devices_.begin(), devices_.end(),
                                    [handle](const DeviceState& d) { return d.handle == handle; });
    return found != devices_.end() ? &*found : nullptr;
}

BridgeStatus SimulatedBridge::GetNumDevices(std::uint32_t* count) {
    if (!BeginCall(BridgeOperation::GetNumDevices)) {
        return kInjectedFailure;
    }
    if (count == nullptr) {
        return kInvalidParameter;
    }
    *count = static_cast<std::uint32_t>(std::count_if(
        devices_.begin(), devices_.end(), [this](const DeviceState& d) { return IsPresent(d); }));
    return kBridgeSuccess;
}

BridgeStatus SimulatedBridge::GetProductString(std::uint32_t index, char* buffer,
                                               DeviceStringOption option) {
    if (!BeginCall(BridgeOperation::GetProductString)) {
        return kInjectedFailure;
    }
    const DeviceState* device = PresentDevice(index);
    if (device == nullptr) {
        return kNoSuchDevice;
    }
    if (buffer == nullptr) {
        return kInvalidParameter;
    }
    const std::string* text = nullptr;
    switch (option) {
    case DeviceStringOption::SerialNumber:
        text = &device->info.serial;
        break;
    case DeviceStringOption::Description:
        text = &device->info.product;
        break;
    case DeviceStringOption::UsbLink:
        if (device->info.link.empty()) {
            return kInvalidParameter;
        }
        text = &device->info.link;
        break;
    default:
        return kInvalidParameter;
    }
    const std::size_t length = std::min<std::size_t>(text->size(), kDeviceStringSize - 1);
    std::memcpy(buffer, text->data(), length);
    buffer[length] = '\0';
    return kBridgeSuccess;
}

BridgeStatus SimulatedBridge::Open(std::uint32_t index, DeviceHandle* handle) {
    if (!BeginCall(BridgeOperation::Open)) {
        return kInjectedFailure;
    }
    DeviceState* device = PresentDevice(index);
    if (device == nullptr) {
        return kNoSuchDevice;
    }
    if (handle == nullptr) {
        return kInvalidParameter;
    }
    if (device->handle != kNoDevice) {
        return kDeviceBusy;
    }
    device->handle = nextHandle_;
    nextHandle_ += kHandleStep;
    device->replies.clear();
    *handle = device->handle;
    Record("open");
    return kBridgeSuccess;
}

BridgeStatus SimulatedBridge::Close(DeviceHandle handle) {
    const bool injected = !BeginCall(BridgeOperation::Close);
    DeviceState* device = OpenedDevice(handle);
    if (device == nullptr) {
        return injected ? kInjectedFailure : kInvalidHandle;
    }
    device->handle = kNoDevice;
    device->replies.clear();
    if (injected) {
        return kInjectedFailure;
    }
    Record("close");
    return kBridgeSuccess;
}

BridgeStatus SimulatedBridge::Read(DeviceHandle handle, std::uint8_t* buffer,
                                   std::uint32_t bytesToRead, std::uint32_t* bytesReturned) {
    if (!BeginCall(BridgeOperation::Read)) {
        return kInjectedFailure;
    }
    DeviceState* device = OpenedDevice(handle);
    if (device == nullptr || !IsPresent(*device)) {
        return kInvalidHandle;
    }
    if (buffer == nullptr || bytesReturned == nullptr) {
        return kInvalidParameter;
    }
    std::uint32_t copied = 0;
    while (copied < bytesToRead && !device->replies.empty() && IsDue(device->replies.front())) {
        std::vector<std::uint8_t>& bytes = device->replies.front().bytes;
        const std::size_t take = std::min<std::size_t>(bytesToRead - copied, bytes.size());
        std::copy(bytes.begin(), bytes.begin() + take, buffer + copied);
        bytes.erase(bytes.begin(), bytes.begin() + take);
        copied += static_cast<std::uint32_t>(take);
        if (bytes.empty()) {
            device->replies.pop_front();
        }
    }
    *bytesReturned = copied;
    return kBridgeSuccess;
}

BridgeStatus SimulatedBridge::Write(DeviceHandle handle, const std::uint8_t* buffer,
                                    std::uint32_t bytesToWrite, std::uint32_t* bytesWritten) {
    if (!BeginCall(BridgeOperation::Write)) {
        return kInjectedFailure;
    }
    DeviceState* device = OpenedDevice(handle);
    if (device == nullptr || !IsPresent(*device)) {
        return kInvalidHandle;
    }
    if (buffer == nullptr || bytesWritten == nullptr) {
        return kInvalidParameter;
    }
    const std::vector<std::uint8_t> request(buffer, buffer + bytesToWrite);
    requests_.push_back(request);
    Record(SpacedHex(request.data(), request.size()));
    *bytesWritten = bytesToWrite;
    if (device->info.isUnit) {
        Transact(*device, request);
    }
    return kBridgeSuccess;
}

void SimulatedBridge::Transact(DeviceState& device, const std::vector<std::uint8_t>& request) {
    const int number = ++transactionCount_;
    const int own = ++device.transactions;
    SimulatedUnit& unit = device.info.unit ? *device.info.unit : unit_;
    std::optional<std::vector<std::uint8_t>> reply =
        unit.HandleRequest(request.data(), request.size());
    const auto found = transactionFaults_.find(number);
    const TransactionFault fault =
        found != transactionFaults_.end() ? found->second : TransactionFault{};
    if (!reply || fault.never || device.info.silentTransactions.count(own) != 0) {
        return;
    }
    if (fault.errorByte && !reply->empty()) {
        (*reply)[0] = *fault.errorByte;
    }
    if (fault.shortBytes && *fault.shortBytes < reply->size()) {
        reply->resize(*fault.shortBytes);
    }
    if (reply->empty()) {
        return;
    }
    PendingReply pending{std::move(*reply), std::nullopt};
    const std::uint32_t delay = replyDelayMs_ + device.info.replyDelayMs + fault.lateMs;
    if (delay > 0) {
        pending.dueAt = clock_.TickCount() + delay;
    }
    device.replies.push_back(std::move(pending));
}

bool SimulatedBridge::IsDue(const PendingReply& reply) {
    // Compared as a signed difference, so that a wrap of the tick count does
    // no harm.
    return !reply.dueAt || static_cast<std::int32_t>(clock_.TickCount() - *reply.dueAt) >= 0;
}

std::uint32_t SimulatedBridge::WaitingBytes(DeviceState& device) {
    std::uint32_t waiting = 0;
    for (const PendingReply& reply : device.replies) {
        if (!IsDue(reply)) {
            break;
        }
        waiting += static_cast<std::uint32_t>(reply.bytes.size());
    }
    return waiting;
}

BridgeStatus SimulatedBridge::FlushBuffers(DeviceHandle handle, std::uint8_t flushTransmit,
                                           std::uint8_t flushReceive) {
    flushes_.push_back({flushTransmit, flushReceive});
    if (!BeginCall(BridgeOperation::FlushBuffers)) {
        return kInjectedFailure;
    }
    DeviceState* device = OpenedDevice(handle);
    if (device == nullptr || !IsPresent(*device)) {
        return kInvalidHandle;
    }
    // Requests leave at once, so only the receive side ever holds anything.
    if (flushReceive != 0) {
        device->replies.clear();
    }
    return kBridgeSuccess;
}

BridgeStatus SimulatedBridge::CheckRXQueue(DeviceHandle handle, std::uint32_t* bytesInQueue,
                                           std::uint32_t* queueStatus) {
    if (!BeginCall(BridgeOperation::CheckRXQueue)) {
        return kInjectedFailure;
    }
    DeviceState* device = OpenedDevice(handle);
    if (device == nullptr || !IsPresent(*device)) {
        return kInvalidHandle;
    }
    if (bytesInQueue == nullptr || queueStatus == nullptr) {
        return kInvalidParameter;
    }
    *bytesInQueue = WaitingBytes(*device);
    *queueStatus = *bytesInQueue > 0 ? kQueueHasData : kQueueEmpty;
    return kBridgeSuccess;
}

void SimulatedBridge::Record(const std::string& line) {
    log_.push_back(line);
    if (logListener_) {
        logListener_(line);
    }
}
