#include "device/UsbBridgeLibrary.h"

#include <libusb.h>

#include <algorithm>
#include <chrono>
#include <deque>
#include <map>
#include <vector>

namespace {

// The bridge's one vendor request: host to device, no data stage, the
// action in wValue. Until the data path is enabled the bridge drains nothing
// from its OUT endpoint and sends nothing on IN.
constexpr std::uint8_t kVendorRequestType = 0x40;
constexpr std::uint8_t kBridgeRequest = 0x02;
constexpr std::uint16_t kPurge = 0x0001;
constexpr std::uint16_t kEnableDataPath = 0x0002;
constexpr std::uint16_t kDisableDataPath = 0x0004;
constexpr unsigned kControlTimeoutMs = 1000;

constexpr std::uint8_t kVendorClass = 0xFF;
constexpr int kPacketSize = 64;
// Whether a request goes out padded with zeros to a whole packet. Exact
// lengths are sent until a unit shows that it wants the padding.
constexpr bool kPadRequestsToPacket = false;
// Bulk IN transfers are whole packets long, so that the bridge can never
// send more than was asked for (which libusb reports as an overflow).
constexpr int kInTransferSize = 8 * kPacketSize;
// The longest single wait for events while a read waits for its bytes.
constexpr int kEventSliceMs = 50;

// The queue status is never examined above the seam; these say empty and
// bytes ready.
constexpr std::uint32_t kQueueEmpty = 0;
constexpr std::uint32_t kQueueReady = 2;

using Clock = std::chrono::steady_clock;

struct OpenBridge {
    libusb_device_handle* handle = nullptr;
    UsbProblem where; // the bridge's place, for the problems of its operations
    int interfaceNumber = 0;
    std::uint8_t endpointIn = 0;
    std::uint8_t endpointOut = 0;
    libusb_transfer* inTransfer = nullptr;
    std::vector<std::uint8_t> inBuffer = std::vector<std::uint8_t>(kInTransferSize);
    bool inPending = false;
    bool stopping = false;
    // The transfer status that ended reception; LIBUSB_TRANSFER_COMPLETED
    // while it goes on.
    libusb_transfer_status inFailure = LIBUSB_TRANSFER_COMPLETED;
    std::deque<std::uint8_t> received;
    UsbTrace* trace = nullptr;
};

UsbProblem Where(libusb_device* device) {
    UsbProblem place;
    place.bus = libusb_get_bus_number(device);
    place.address = libusb_get_device_address(device);
    return place;
}

// "1-4.2": the bus, then the port on each hub from the root on, which stays
// the same for as long as the device is plugged into the same socket.
std::string UsbLinkOf(libusb_device* device) {
    std::uint8_t ports[7] = {};
    const int depth = libusb_get_port_numbers(device, ports, sizeof ports);
    std::string link = std::to_string(libusb_get_bus_number(device));
    for (int i = 0; i < depth; ++i) {
        link += (i == 0 ? "-" : ".") + std::to_string(ports[i]);
    }
    return link;
}

// libusb's error as a problem of the bridge at that place.
UsbProblem Problem(const UsbProblem& where, int error, UsbActivity doing) {
    UsbProblem problem = where;
    problem.doing = doing;
    switch (error) {
    case LIBUSB_ERROR_ACCESS:
        problem.kind = UsbProblemKind::NoPermission;
        break;
    case LIBUSB_ERROR_BUSY:
        problem.kind = UsbProblemKind::Busy;
        break;
    case LIBUSB_ERROR_NO_DEVICE:
        problem.kind = UsbProblemKind::Unplugged;
        break;
    case LIBUSB_ERROR_TIMEOUT:
        problem.kind = UsbProblemKind::TimedOut;
        break;
    case LIBUSB_ERROR_PIPE:
        problem.kind = UsbProblemKind::Stalled;
        break;
    default:
        problem.kind = UsbProblemKind::Failed;
        problem.libusbText = libusb_strerror(static_cast<libusb_error>(error));
        break;
    }
    return problem;
}

UsbProblem Plain(UsbProblemKind kind) {
    UsbProblem problem;
    problem.kind = kind;
    return problem;
}

UsbProblem NoSuchDevice(std::uint32_t index) {
    UsbProblem problem = Plain(UsbProblemKind::NoSuchDevice);
    problem.deviceIndex = index;
    return problem;
}

int TransferError(libusb_transfer_status status) {
    switch (status) {
    case LIBUSB_TRANSFER_NO_DEVICE:
        return LIBUSB_ERROR_NO_DEVICE;
    case LIBUSB_TRANSFER_STALL:
        return LIBUSB_ERROR_PIPE;
    case LIBUSB_TRANSFER_TIMED_OUT:
        return LIBUSB_ERROR_TIMEOUT;
    case LIBUSB_TRANSFER_OVERFLOW:
        return LIBUSB_ERROR_OVERFLOW;
    default:
        return LIBUSB_ERROR_IO;
    }
}

void LIBUSB_CALL InTransferDone(libusb_transfer* transfer) {
    auto* bridge = static_cast<OpenBridge*>(transfer->user_data);
    bridge->inPending = false;
    if (transfer->status == LIBUSB_TRANSFER_CANCELLED) {
        return;
    }
    if (bridge->trace != nullptr) {
        if (transfer->status == LIBUSB_TRANSFER_COMPLETED) {
            bridge->trace->Bulk(bridge->endpointIn, transfer->buffer, transfer->actual_length);
        } else {
            bridge->trace->Failed(bridge->endpointIn,
                                  libusb_error_name(TransferError(transfer->status)));
        }
    }
    bridge->received.insert(bridge->received.end(), transfer->buffer,
                            transfer->buffer + transfer->actual_length);
    if (transfer->status != LIBUSB_TRANSFER_COMPLETED) {
        bridge->inFailure = transfer->status;
        return;
    }
    if (!bridge->stopping) {
        bridge->inPending = libusb_submit_transfer(transfer) == 0;
        if (!bridge->inPending) {
            bridge->inFailure = LIBUSB_TRANSFER_ERROR;
        }
    }
}

// Finds the vendor-class interface with one bulk endpoint each way.
bool FindBulkInterface(libusb_device* device, OpenBridge* bridge) {
    libusb_config_descriptor* config = nullptr;
    if (libusb_get_active_config_descriptor(device, &config) != 0 &&
        libusb_get_config_descriptor(device, 0, &config) != 0) {
        return false;
    }
    bool found = false;
    for (int i = 0; i < config->bNumInterfaces && !found; ++i) {
        if (config->interface[i].num_altsetting < 1) {
            continue;
        }
        const libusb_interface_descriptor& setting = config->interface[i].altsetting[0];
        if (setting.bInterfaceClass != kVendorClass) {
            continue;
        }
        std::uint8_t in = 0;
        std::uint8_t out = 0;
        for (int e = 0; e < setting.bNumEndpoints; ++e) {
            const libusb_endpoint_descriptor& endpoint = setting.endpoint[e];
            if ((endpoint.bmAttributes & LIBUSB_TRANSFER_TYPE_MASK) != LIBUSB_TRANSFER_TYPE_BULK) {
                continue;
            }
            ((endpoint.bEndpointAddress & LIBUSB_ENDPOINT_IN) != 0 ? in : out) =
                endpoint.bEndpointAddress;
        }
        if (in != 0 && out != 0) {
            bridge->interfaceNumber = setting.bInterfaceNumber;
            bridge->endpointIn = in;
            bridge->endpointOut = out;
            found = true;
        }
    }
    libusb_free_config_descriptor(config);
    return found;
}

class LibusbBridgeLibrary : public UsbBridgeLibrary {
public:
    LibusbBridgeLibrary() = default;
    ~LibusbBridgeLibrary() override;
    LibusbBridgeLibrary(const LibusbBridgeLibrary&) = delete;
    LibusbBridgeLibrary& operator=(const LibusbBridgeLibrary&) = delete;

    BridgeLoadFailure LoadFailure() override;
    UsbProblem LastProblem() const override { return problem_; }
    void SetTrace(UsbTrace* trace) override { trace_ = trace; }

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
    bool Started();
    void ForgetDevices();
    OpenBridge* Find(DeviceHandle handle);
    BridgeStatus Fail(BridgeStatus status, UsbProblem problem);
    BridgeStatus Succeed();
    int SendRequest(OpenBridge& bridge, std::uint16_t action);
    void PumpEvents(int timeoutMs);
    void StopReception(OpenBridge& bridge);
    // Undoes an open up to the claim; the driver that was bound is bound again.
    void Release(OpenBridge& bridge);

    libusb_context* context_ = nullptr;
    bool startTried_ = false;
    BridgeLoadFailure loadFailure_;
    std::vector<libusb_device*> devices_;
    std::map<DeviceHandle, std::unique_ptr<OpenBridge>> open_;
    DeviceHandle nextHandle_ = 1;
    UsbProblem problem_;
    UsbTrace* trace_ = nullptr;
};

LibusbBridgeLibrary::~LibusbBridgeLibrary() {
    while (!open_.empty()) {
        Close(open_.begin()->first);
    }
    ForgetDevices();
    if (context_ != nullptr) {
        libusb_exit(context_);
    }
}

bool LibusbBridgeLibrary::Started() {
    if (!startTried_) {
        startTried_ = true;
        const int result = libusb_init(&context_);
        if (result != 0) {
            context_ = nullptr;
            loadFailure_.problem = BridgeLoadProblem::UsbNotStarted;
            loadFailure_.library = "libusb";
            loadFailure_.systemText = libusb_strerror(static_cast<libusb_error>(result));
        }
    }
    return context_ != nullptr;
}

BridgeLoadFailure LibusbBridgeLibrary::LoadFailure() {
    Started();
    return loadFailure_;
}

void LibusbBridgeLibrary::ForgetDevices() {
    for (libusb_device* device : devices_) {
        libusb_unref_device(device);
    }
    devices_.clear();
}

BridgeStatus LibusbBridgeLibrary::Fail(BridgeStatus status, UsbProblem problem) {
    problem_ = std::move(problem);
    return status;
}

BridgeStatus LibusbBridgeLibrary::Succeed() {
    return kBridgeSuccess;
}

OpenBridge* LibusbBridgeLibrary::Find(DeviceHandle handle) {
    const auto found = open_.find(handle);
    return found != open_.end() ? found->second.get() : nullptr;
}

BridgeStatus LibusbBridgeLibrary::GetNumDevices(std::uint32_t* count) {
    // A libusb that did not start is told by LoadFailure(), not as a problem
    // of some bridge.
    if (!Started()) {
        return Fail(kDeviceNotFound, UsbProblem{});
    }
    problem_ = {};
    ForgetDevices();
    libusb_device** list = nullptr;
    const ssize_t listed = libusb_get_device_list(context_, &list);
    if (listed < 0) {
        UsbProblem problem = Plain(UsbProblemKind::ListFailed);
        problem.libusbText = libusb_strerror(static_cast<libusb_error>(listed));
        return Fail(kDeviceNotFound, problem);
    }
    for (ssize_t i = 0; i < listed; ++i) {
        libusb_device_descriptor descriptor{};
        if (libusb_get_device_descriptor(list[i], &descriptor) == 0 &&
            descriptor.idVendor == kVendorId && descriptor.idProduct == kProductId) {
            devices_.push_back(libusb_ref_device(list[i]));
        }
    }
    libusb_free_device_list(list, 1);
    *count = static_cast<std::uint32_t>(devices_.size());
    return Succeed();
}

// Reading a string descriptor is a standard request on the control pipe: it
// claims nothing and leaves a driver bound to the device alone.
BridgeStatus LibusbBridgeLibrary::GetProductString(std::uint32_t index, char* buffer,
                                                   DeviceStringOption option) {
    if (index >= devices_.size()) {
        return Fail(kDeviceNotFound, NoSuchDevice(index));
    }
    libusb_device* device = devices_[index];
    if (option == DeviceStringOption::UsbLink) {
        const std::string link = UsbLinkOf(device);
        link.copy(buffer, kDeviceStringSize - 1);
        buffer[std::min<std::size_t>(link.size(), kDeviceStringSize - 1)] = '\0';
        return Succeed();
    }
    libusb_device_descriptor descriptor{};
    libusb_get_device_descriptor(device, &descriptor);
    std::uint8_t stringIndex = 0;
    switch (option) {
    case DeviceStringOption::SerialNumber:
        stringIndex = descriptor.iSerialNumber;
        break;
    case DeviceStringOption::Description:
        stringIndex = descriptor.iProduct;
        break;
    default:
        return Fail(kInvalidParameter, Plain(UsbProblemKind::UnknownOption));
    }
    libusb_device_handle* handle = nullptr;
    if (const int result = libusb_open(device, &handle); result != 0) {
        return Fail(kDeviceNotFound, Problem(Where(device), result, UsbActivity::ReadingStrings));
    }
    buffer[0] = '\0';
    int length = 0;
    if (stringIndex != 0) {
        length = libusb_get_string_descriptor_ascii(
            handle, stringIndex, reinterpret_cast<unsigned char*>(buffer), kDeviceStringSize);
    }
    libusb_close(handle);
    if (length < 0) {
        buffer[0] = '\0';
        return Fail(kDeviceIoFailed, Problem(Where(device), length, UsbActivity::ReadingStrings));
    }
    buffer[std::min<int>(length, kDeviceStringSize - 1)] = '\0';
    return Succeed();
}

int LibusbBridgeLibrary::SendRequest(OpenBridge& bridge, std::uint16_t action) {
    const int result = libusb_control_transfer(bridge.handle, kVendorRequestType, kBridgeRequest,
                                               action, 0, nullptr, 0, kControlTimeoutMs);
    if (trace_ != nullptr) {
        trace_->Control(kVendorRequestType, kBridgeRequest, action, 0, result);
    }
    return result;
}

BridgeStatus LibusbBridgeLibrary::Open(std::uint32_t index, DeviceHandle* handle) {
    if (index >= devices_.size()) {
        return Fail(kDeviceNotFound, NoSuchDevice(index));
    }
    libusb_device* device = devices_[index];
    auto bridge = std::make_unique<OpenBridge>();
    bridge->where = Where(device);
    bridge->trace = trace_;
    if (!FindBulkInterface(device, bridge.get())) {
        UsbProblem problem = bridge->where;
        problem.kind = UsbProblemKind::NoVendorInterface;
        return Fail(kDeviceIoFailed, problem);
    }
    if (const int result = libusb_open(device, &bridge->handle); result != 0) {
        return Fail(kDeviceNotFound, Problem(bridge->where, result, UsbActivity::Opening));
    }
    // The serial driver binds this id too; it gives way while the unit is
    // open and is bound again by the release.
    libusb_set_auto_detach_kernel_driver(bridge->handle, 1);
    if (const int result = libusb_claim_interface(bridge->handle, bridge->interfaceNumber);
        result != 0) {
        libusb_close(bridge->handle);
        return Fail(kDeviceNotFound, Problem(bridge->where, result, UsbActivity::Claiming));
    }
    int result = SendRequest(*bridge, kEnableDataPath);
    if (result == 0) {
        result = SendRequest(*bridge, kPurge);
    }
    if (result == 0) {
        bridge->inTransfer = libusb_alloc_transfer(0);
        if (bridge->inTransfer == nullptr) {
            result = LIBUSB_ERROR_NO_MEM;
        }
    }
    if (result == 0) {
        libusb_fill_bulk_transfer(bridge->inTransfer, bridge->handle, bridge->endpointIn,
                                  bridge->inBuffer.data(), kInTransferSize, InTransferDone,
                                  bridge.get(), 0);
        result = libusb_submit_transfer(bridge->inTransfer);
        bridge->inPending = result == 0;
    }
    if (result != 0) {
        Release(*bridge);
        return Fail(kDeviceIoFailed, Problem(bridge->where, result, UsbActivity::EnablingDataPath));
    }
    const DeviceHandle opened = nextHandle_++;
    open_[opened] = std::move(bridge);
    *handle = opened;
    return Succeed();
}

void LibusbBridgeLibrary::PumpEvents(int timeoutMs) {
    timeval wait{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    libusb_handle_events_timeout_completed(context_, &wait, nullptr);
}

void LibusbBridgeLibrary::StopReception(OpenBridge& bridge) {
    bridge.stopping = true;
    if (!bridge.inPending) {
        return;
    }
    if (libusb_cancel_transfer(bridge.inTransfer) != 0) {
        bridge.inPending = false;
        return;
    }
    const auto deadline = Clock::now() + std::chrono::milliseconds(kControlTimeoutMs);
    while (bridge.inPending && Clock::now() < deadline) {
        PumpEvents(kEventSliceMs);
    }
}

void LibusbBridgeLibrary::Release(OpenBridge& bridge) {
    StopReception(bridge);
    libusb_release_interface(bridge.handle, bridge.interfaceNumber);
    libusb_close(bridge.handle);
    // A transfer that never came back stays allocated rather than freed
    // under libusb's feet.
    if (bridge.inTransfer != nullptr && !bridge.inPending) {
        libusb_free_transfer(bridge.inTransfer);
    }
    bridge.inTransfer = nullptr;
    bridge.handle = nullptr;
}

// A bridge that was unplugged is closed all the same, so that the handle is
// never lost.
BridgeStatus LibusbBridgeLibrary::Close(DeviceHandle handle) {
    OpenBridge* bridge = Find(handle);
    if (bridge == nullptr) {
        return Fail(kInvalidHandle, Plain(UsbProblemKind::NotOpen));
    }
    StopReception(*bridge);
    if (bridge->inFailure != LIBUSB_TRANSFER_NO_DEVICE) {
        SendRequest(*bridge, kDisableDataPath);
    }
    Release(*bridge);
    open_.erase(handle);
    return Succeed();
}

BridgeStatus LibusbBridgeLibrary::Write(DeviceHandle handle, const std::uint8_t* buffer,
                                        std::uint32_t bytesToWrite, std::uint32_t* bytesWritten) {
    OpenBridge* bridge = Find(handle);
    if (bridge == nullptr) {
        return Fail(kInvalidHandle, Plain(UsbProblemKind::NotOpen));
    }
    std::vector<std::uint8_t> request(buffer, buffer + bytesToWrite);
    if (kPadRequestsToPacket && request.size() % kPacketSize != 0) {
        request.resize((request.size() / kPacketSize + 1) * kPacketSize, 0);
    }
    if (trace_ != nullptr) {
        trace_->Bulk(bridge->endpointOut, request.data(), static_cast<int>(request.size()));
    }
    int transferred = 0;
    const int result =
        libusb_bulk_transfer(bridge->handle, bridge->endpointOut, request.data(),
                             static_cast<int>(request.size()), &transferred, kWriteTimeoutMs);
    if (trace_ != nullptr && result != 0) {
        trace_->Failed(bridge->endpointOut, libusb_error_name(result));
    }
    *bytesWritten = std::min<std::uint32_t>(static_cast<std::uint32_t>(transferred), bytesToWrite);
    if (result == LIBUSB_ERROR_TIMEOUT) {
        return Fail(kWriteTimedOut, Problem(bridge->where, result, UsbActivity::TakingRequest));
    }
    if (result != 0) {
        return Fail(kWriteError, Problem(bridge->where, result, UsbActivity::TakingRequest));
    }
    return Succeed();
}

BridgeStatus LibusbBridgeLibrary::Read(DeviceHandle handle, std::uint8_t* buffer,
                                       std::uint32_t bytesToRead, std::uint32_t* bytesReturned) {
    OpenBridge* bridge = Find(handle);
    if (bridge == nullptr) {
        return Fail(kInvalidHandle, Plain(UsbProblemKind::NotOpen));
    }
    const auto deadline = Clock::now() + std::chrono::milliseconds(kReadTimeoutMs);
    while (bridge->received.size() < bytesToRead &&
           bridge->inFailure == LIBUSB_TRANSFER_COMPLETED && Clock::now() < deadline) {
        PumpEvents(kEventSliceMs);
    }
    const std::uint32_t count =
        std::min<std::uint32_t>(bytesToRead, static_cast<std::uint32_t>(bridge->received.size()));
    std::copy_n(bridge->received.begin(), count, buffer);
    bridge->received.erase(bridge->received.begin(), bridge->received.begin() + count);
    *bytesReturned = count;
    // What came within the time-out is a (short) read; the caller sees the
    // count. Nothing at all is a time-out.
    if (count == bytesToRead || (count > 0 && bridge->inFailure == LIBUSB_TRANSFER_COMPLETED)) {
        return Succeed();
    }
    if (bridge->inFailure != LIBUSB_TRANSFER_COMPLETED) {
        return Fail(kReadError, Problem(bridge->where, TransferError(bridge->inFailure),
                                        UsbActivity::SendingReply));
    }
    return Fail(kReadTimedOut,
                Problem(bridge->where, LIBUSB_ERROR_TIMEOUT, UsbActivity::SendingReply));
}

BridgeStatus LibusbBridgeLibrary::FlushBuffers(DeviceHandle handle, std::uint8_t flushTransmit,
                                               std::uint8_t flushReceive) {
    OpenBridge* bridge = Find(handle);
    if (bridge == nullptr) {
        return Fail(kInvalidHandle, Plain(UsbProblemKind::NotOpen));
    }
    if (flushTransmit != 0 || flushReceive != 0) {
        if (const int result = SendRequest(*bridge, kPurge); result != 0) {
            return Fail(kDeviceIoFailed,
                        Problem(bridge->where, result, UsbActivity::PurgingBuffers));
        }
    }
    if (flushReceive != 0) {
        PumpEvents(0);
        bridge->received.clear();
    }
    return Succeed();
}

// Never waits: collects whatever the bridge has sent by now.
BridgeStatus LibusbBridgeLibrary::CheckRXQueue(DeviceHandle handle, std::uint32_t* bytesInQueue,
                                               std::uint32_t* queueStatus) {
    OpenBridge* bridge = Find(handle);
    if (bridge == nullptr) {
        return Fail(kInvalidHandle, Plain(UsbProblemKind::NotOpen));
    }
    PumpEvents(0);
    if (bridge->received.empty() && bridge->inFailure != LIBUSB_TRANSFER_COMPLETED) {
        return Fail(kReadError, Problem(bridge->where, TransferError(bridge->inFailure),
                                        UsbActivity::SendingReply));
    }
    *bytesInQueue = static_cast<std::uint32_t>(bridge->received.size());
    *queueStatus = bridge->received.empty() ? kQueueEmpty : kQueueReady;
    return Succeed();
}

} // namespace

std::unique_ptr<UsbBridgeLibrary> MakeUsbBridgeLibrary() {
    return std::make_unique<LibusbBridgeLibrary>();
}
