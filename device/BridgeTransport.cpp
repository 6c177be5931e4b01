#include "device/BridgeTransport.h"

#include "device/LibraryLock.h"
#include "device/UnitLinks.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

namespace {

// Each library call is made under the Library lock, which is released as soon
// as the call returns.
template <typename Call> BridgeStatus Locked(Call call) {
    std::lock_guard<LibraryLock> guard(LibraryLock::Instance());
    return call();
}

} // namespace

BridgeTransport::BridgeTransport(BridgeLibrary& library, Clock& clock, NativeWarning& warning,
                                 std::uint32_t unitNumber)
    : library_(library), clock_(clock), warning_(warning), unitNumber_(unitNumber) {}

bool BridgeTransport::GetSerialString(std::uint32_t index, char* buffer) {
    const BridgeStatus status = Locked(
        [&] { return library_.GetProductString(index, buffer, DeviceStringOption::SerialNumber); });
    if (status != kBridgeSuccess) {
        warning_.Show("Error retrieving serial string!");
        return false;
    }
    return true;
}

bool BridgeTransport::FindUnit(std::uint32_t* index) {
    std::uint32_t count = 0;
    if (Locked([&] { return library_.GetNumDevices(&count); }) != kBridgeSuccess) {
        return false;
    }
    std::uint32_t unitsPassed = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        char serial[kDeviceStringSize] = {};
        if (!GetSerialString(i, serial)) {
            continue;
        }
        // The library's string may come without a terminator; never read past
        // the buffer.
        serial[kDeviceStringSize - 1] = '\0';
        if (std::strcmp(serial, kUnitSerial) != 0) {
            continue;
        }
        if (!link_.empty() ? BridgeDeviceLink(library_, i) == link_
                           : unitsPassed++ == unitNumber_) {
            *index = i;
            return true;
        }
    }
    return false;
}

bool BridgeTransport::ListDevices(std::vector<BridgeDevice>* devices) {
    std::uint32_t count = 0;
    if (Locked([&] { return library_.GetNumDevices(&count); }) != kBridgeSuccess) {
        return false;
    }
    devices->clear();
    for (std::uint32_t i = 0; i < count; ++i) {
        BridgeDevice device;
        device.index = i;
        char serial[kDeviceStringSize] = {};
        if (GetSerialString(i, serial)) {
            serial[kDeviceStringSize - 1] = '\0';
            device.serial = serial;
            device.isUnit = device.serial == kUnitSerial;
        }
        char product[kDeviceStringSize] = {};
        if (Locked([&] {
                return library_.GetProductString(i, product, DeviceStringOption::Description);
            }) == kBridgeSuccess) {
            product[kDeviceStringSize - 1] = '\0';
            device.product = product;
        }
        devices->push_back(device);
    }
    return true;
}

bool BridgeTransport::OpenDevice() {
    handle_ = kNoDevice;
    std::uint32_t index = 0;
    if (FindUnit(&index)) {
        char product[kDeviceStringSize] = {};
        if (Locked([&] {
                return library_.GetProductString(index, product, DeviceStringOption::Description);
            }) != kBridgeSuccess) {
            warning_.Show("Unable to retrive product string!");
        } else if (Locked([&] { return library_.Open(index, &handle_); }) != kBridgeSuccess) {
            warning_.Show("Unable to open handle to device!");
        } else if (Locked([&] { return library_.FlushBuffers(handle_, 1, 1); }) != kBridgeSuccess) {
            warning_.Show("Unable to flush device bufers!");
        } else {
            return true;
        }
    }
    CloseHandleIfOpen();
    return false;
}

void BridgeTransport::CloseDevice() {
    clock_.Sleep(kCloseWaitMs);
    CloseHandleIfOpen();
}

void BridgeTransport::CloseHandleIfOpen() {
    if (handle_ != kNoDevice && Locked([&] { return library_.Close(handle_); }) != kBridgeSuccess) {
        warning_.Show("Unable to close device handle!");
    }
    handle_ = kNoDevice;
}

TransactionResult BridgeTransport::DeviceTransaction(DeviceHandle* handle, std::uint8_t* reply,
                                                     const std::uint8_t* request,
                                                     std::uint32_t replyLength,
                                                     std::uint32_t requestLength) {
    if (*handle == kNoDevice) {
        warning_.Show("Invalid Device Handle");
        return TransactionResult::NotOpen;
    }
    std::uint32_t written = 0;
    if (Locked([&] { return library_.Write(*handle, request, requestLength, &written); }) !=
        kBridgeSuccess) {
        warning_.Show("Error Sending Code");
        return TransactionResult::SendFailed;
    }
    const TransactionResult waited = WaitForReply(*handle);
    if (waited != TransactionResult::Ok) {
        return waited;
    }

    // Read into a scratch area so that a failed or short read leaves the
    // caller's reply exactly as it was.
    std::vector<std::uint8_t> received(replyLength);
    std::uint32_t returned = 0;
    if (Locked([&] { return library_.Read(*handle, received.data(), replyLength, &returned); }) !=
        kBridgeSuccess) {
        warning_.Show("Error Reading Data");
        return TransactionResult::ReadFailed;
    }
    if (returned < replyLength) {
        return TransactionResult::ShortReply;
    }
    std::copy(received.begin(), received.end(), reply);
    return TransactionResult::Ok;
}

// A failed check is reported and the wait goes on to the end of the limit, so
// that a single failing check does not cut short a reply that is on its way.
TransactionResult BridgeTransport::WaitForReply(DeviceHandle handle) {
    bool checkFailed = false;
    std::uint32_t waiting = 0;
    const std::uint32_t start = clock_.TickCount();
    while (waiting < 1) {
        const std::uint32_t elapsed = clock_.TickCount() - start;
        if (elapsed >= kReplyTimeoutMs) {
            break;
        }
        std::uint32_t queueStatus = 0;
        if (Locked([&] { return library_.CheckRXQueue(handle, &waiting, &queueStatus); }) !=
            kBridgeSuccess) {
            warning_.Show("Error Checking Queue");
            checkFailed = true;
        }
        if (waiting < 1 && elapsed >= kBusyPollMs) {
            clock_.Sleep(kPollNapMs);
        }
    }
    if (checkFailed) {
        return TransactionResult::QueueCheckFailed;
    }
    return waiting < 1 ? TransactionResult::TimedOut : TransactionResult::Ok;
}
