#include "BridgeTransport.h"

#include "LibraryLock.h"

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

BridgeTransport::BridgeTransport(BridgeLibrary& library, Clock& clock, NativeWarning& warning)
    : library_(library), clock_(clock), warning_(warning) {}

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
    for (std::uint32_t i = 0; i < count; ++i) {
        char serial[kDeviceStringSize] = {};
        if (!GetSerialString(i, serial)) {
            continue;
        }
        // The library's string may come without a terminator; never read past
        // the buffer.
        serial[kDeviceStringSize - 1] = '\0';
        if (std::strcmp(serial, kUnitSerial) == 0) {
            *index = i;
            return true;
        }
    }
    return false;
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

bool BridgeTransport::DeviceTransaction(DeviceHandle* handle, std::uint8_t* reply,
                                        const std::uint8_t* request, std::uint32_t replyLength,
                                        std::uint32_t requestLength) {
    if (*handle == kNoDevice) {
        warning_.Show("Invalid Device Handle");
        return false;
    }
    std::uint32_t written = 0;
    if (Locked([&] { return library_.Write(*handle, request, requestLength, &written); }) !=
        kBridgeSuccess) {
        warning_.Show("Error Sending Code");
        return false;
    }

    bool result = true;
    std::uint32_t waiting = 0;
    const std::uint32_t start = clock_.TickCount();
    // A busy poll, as the unit answers within milliseconds; a failed check is
    // reported and polling goes on to the end of the limit.
    while (waiting < 1 &&
           static_cast<std::uint32_t>(clock_.TickCount() - start) < kReplyTimeoutMs) {
        std::uint32_t queueStatus = 0;
        if (Locked([&] { return library_.CheckRXQueue(*handle, &waiting, &queueStatus); }) !=
            kBridgeSuccess) {
            warning_.Show("Error Checking Queue");
            result = false;
        }
    }
    if (!result || waiting < 1) {
        return false;
    }

    // Read into a scratch area so that a failed or short read leaves the
    // caller's reply exactly as it was.
    std::vector<std::uint8_t> received(replyLength);
    std::uint32_t returned = 0;
    if (Locked([&] { return library_.Read(*handle, received.data(), replyLength, &returned); }) !=
        kBridgeSuccess) {
        warning_.Show("Error Reading Data");
        return false;
    }
    if (returned < replyLength) {
        return false;
    }
    std::copy(received.begin(), received.end(), reply);
    return true;
}
