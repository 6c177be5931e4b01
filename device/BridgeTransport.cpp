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

BridgeTransport::BridgeTransport(BridgeLibrary& library, Clock& clock, TransportEvents& events,
                                 std::uint32_t unitNumber)
    : library_(library), clock_(clock), events_(events), unitNumber_(unitNumber) {}

BridgeStatus BridgeTransport::GetSerialString(std::uint32_t index, char* buffer) {
    const BridgeStatus status = Locked(
        [&] { return library_.GetProductString(index, buffer, DeviceStringOption::SerialNumber); });
    if (status != kBridgeSuccess) {
        events_.OnTransportEvent(TransportEvent::SerialStringFailed, status);
    }
    return status;
}

// A unit whose serial string could not be had may be the one looked for: when
// no unit turns up, that is the reason given.
OpenOutcome BridgeTransport::FindUnit(std::uint32_t* index) {
    std::uint32_t count = 0;
    if (const BridgeStatus status = Locked([&] { return library_.GetNumDevices(&count); });
        status != kBridgeSuccess) {
        return {OpenStep::Count, status};
    }
    OpenOutcome notFound{OpenStep::NoUnit, kBridgeSuccess};
    std::uint32_t unitsPassed = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        char serial[kDeviceStringSize] = {};
        if (const BridgeStatus status = GetSerialString(i, serial); status != kBridgeSuccess) {
            notFound = {OpenStep::SerialString, status};
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
            return {};
        }
    }
    return notFound;
}

BridgeStatus BridgeTransport::ListDevices(std::vector<BridgeDevice>* devices) {
    std::uint32_t count = 0;
    if (const BridgeStatus status = Locked([&] { return library_.GetNumDevices(&count); });
        status != kBridgeSuccess) {
        return status;
    }
    devices->clear();
    for (std::uint32_t i = 0; i < count; ++i) {
        BridgeDevice device;
        device.index = i;
        char serial[kDeviceStringSize] = {};
        device.serialStatus = GetSerialString(i, serial);
        if (device.serialStatus == kBridgeSuccess) {
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
    return kBridgeSuccess;
}

OpenOutcome BridgeTransport::OpenDevice() {
    handle_ = kNoDevice;
    std::uint32_t index = 0;
    OpenOutcome outcome = FindUnit(&index);
    if (outcome.Opened()) {
        char product[kDeviceStringSize] = {};
        if (const BridgeStatus status = Locked([&] {
                return library_.GetProductString(index, product, DeviceStringOption::Description);
            });
            status != kBridgeSuccess) {
            outcome = {OpenStep::ProductString, status};
            events_.OnTransportEvent(TransportEvent::ProductStringFailed, status);
        } else if (const BridgeStatus status =
                       Locked([&] { return library_.Open(index, &handle_); });
                   status != kBridgeSuccess) {
            outcome = {OpenStep::Open, status};
            events_.OnTransportEvent(TransportEvent::OpenFailed, status);
        } else if (const BridgeStatus status =
                       Locked([&] { return library_.FlushBuffers(handle_, 1, 1); });
                   status != kBridgeSuccess) {
            outcome = {OpenStep::Flush, status};
            events_.OnTransportEvent(TransportEvent::FlushFailed, status);
        } else {
            return outcome;
        }
    }
    CloseHandleIfOpen();
    return outcome;
}

void BridgeTransport::CloseDevice() {
    clock_.Sleep(kCloseWaitMs);
    CloseHandleIfOpen();
}

void BridgeTransport::CloseHandleIfOpen() {
    if (handle_ != kNoDevice) {
        if (const BridgeStatus status = Locked([&] { return library_.Close(handle_); });
            status != kBridgeSuccess) {
            events_.OnTransportEvent(TransportEvent::CloseFailed, status);
        }
    }
    handle_ = kNoDevice;
}

TransactionOutcome BridgeTransport::DeviceTransaction(DeviceHandle* handle, std::uint8_t* reply,
                                                      const std::uint8_t* request,
                                                      std::uint32_t replyLength,
                                                      std::uint32_t requestLength) {
    if (*handle == kNoDevice) {
        events_.OnTransportEvent(TransportEvent::InvalidHandle, kBridgeSuccess);
        return {TransactionResult::NotOpen, kBridgeSuccess};
    }
    std::uint32_t written = 0;
    if (const BridgeStatus status =
            Locked([&] { return library_.Write(*handle, request, requestLength, &written); });
        status != kBridgeSuccess) {
        events_.OnTransportEvent(TransportEvent::SendFailed, status);
        return {TransactionResult::SendFailed, status};
    }
    const TransactionOutcome waited = WaitForReply(*handle);
    if (!waited.Ok()) {
        return waited;
    }

    // Read into a scratch area so that a failed or short read leaves the
    // caller's reply exactly as it was.
    std::vector<std::uint8_t> received(replyLength);
    std::uint32_t returned = 0;
    if (const BridgeStatus status =
            Locked([&] { return library_.Read(*handle, received.data(), replyLength, &returned); });
        status != kBridgeSuccess) {
        events_.OnTransportEvent(TransportEvent::ReadFailed, status);
        return {TransactionResult::ReadFailed, status};
    }
    if (returned < replyLength) {
        return {TransactionResult::ShortReply, kBridgeSuccess};
    }
    std::copy(received.begin(), received.end(), reply);
    return {};
}

// A failed check is reported and the wait goes on to the end of the limit, so
// that a single failing check does not cut short a reply that is on its way.
TransactionOutcome BridgeTransport::WaitForReply(DeviceHandle handle) {
    bool checkFailed = false;
    BridgeStatus checkStatus = kBridgeSuccess;
    std::uint32_t waiting = 0;
    const std::uint32_t start = clock_.TickCount();
    while (waiting < 1) {
        const std::uint32_t elapsed = clock_.TickCount() - start;
        if (elapsed >= kReplyTimeoutMs) {
            break;
        }
        std::uint32_t queueStatus = 0;
        if (const BridgeStatus status =
                Locked([&] { return library_.CheckRXQueue(handle, &waiting, &queueStatus); });
            status != kBridgeSuccess) {
            events_.OnTransportEvent(TransportEvent::QueueCheckFailed, status);
            checkFailed = true;
            checkStatus = status;
        }
        if (waiting < 1 && elapsed >= kBusyPollMs) {
            clock_.Sleep(kPollNapMs);
        }
    }
    if (checkFailed) {
        return {TransactionResult::QueueCheckFailed, checkStatus};
    }
    return {waiting < 1 ? TransactionResult::TimedOut : TransactionResult::Ok, kBridgeSuccess};
}
