#include "device/SelectedBridge.h"

bool ParseBridgeChoice(const std::string& text, BridgeChoice* choice) {
    if (text == "auto") {
        *choice = BridgeChoice::Auto;
    } else if (text == "library") {
        *choice = BridgeChoice::Library;
    } else if (text == "usb") {
        *choice = BridgeChoice::Usb;
    } else {
        return false;
    }
    return true;
}

SelectedBridge::SelectedBridge()
    : SelectedBridge(std::make_unique<VendorBridgeLibrary>(), MakeUsbBridgeLibrary()) {}

SelectedBridge::SelectedBridge(std::unique_ptr<VendorBridgeLibrary> vendor,
                               std::unique_ptr<UsbBridgeLibrary> usb)
    : vendor_(std::move(vendor)), usb_(std::move(usb)) {}

bool SelectedBridge::Choose(BridgeChoice choice) {
    if (choice == BridgeChoice::Usb && usb_ == nullptr) {
        return false;
    }
    choice_ = choice;
    return true;
}

bool SelectedBridge::TraceTo(const std::string& path) {
    if (!trace_.Open(path)) {
        return false;
    }
    if (usb_ != nullptr) {
        usb_->SetTrace(&trace_);
    }
    return true;
}

bool SelectedBridge::UsesUsb() {
    std::call_once(pickOnce_, [this] {
        switch (choice_) {
        case BridgeChoice::Library:
            usesUsb_ = false;
            break;
        case BridgeChoice::Usb:
            usesUsb_ = true;
            break;
        case BridgeChoice::Auto:
            usesUsb_ = usb_ != nullptr && !vendor_->IsBound();
            break;
        }
    });
    return usesUsb_;
}

BridgeLibrary& SelectedBridge::Active() {
    if (UsesUsb()) {
        return *usb_;
    }
    return *vendor_;
}

std::string SelectedBridge::Name() {
    return UsesUsb() ? "libusb"
                     : "the vendor library " + std::string(VendorBridgeLibrary::DefaultFileName());
}

BridgeLoadFailure SelectedBridge::LoadFailure() {
    return UsesUsb() ? usb_->LoadFailure() : vendor_->LoadFailure();
}

std::string SelectedBridge::LastProblem() {
    return UsesUsb() ? usb_->LastProblem() : std::string();
}

BridgeStatus SelectedBridge::GetNumDevices(std::uint32_t* count) {
    return Active().GetNumDevices(count);
}

BridgeStatus SelectedBridge::GetProductString(std::uint32_t index, char* buffer,
                                              DeviceStringOption option) {
    return Active().GetProductString(index, buffer, option);
}

BridgeStatus SelectedBridge::Open(std::uint32_t index, DeviceHandle* handle) {
    return Active().Open(index, handle);
}

BridgeStatus SelectedBridge::Close(DeviceHandle handle) {
    return Active().Close(handle);
}

BridgeStatus SelectedBridge::Read(DeviceHandle handle, std::uint8_t* buffer,
                                  std::uint32_t bytesToRead, std::uint32_t* bytesReturned) {
    return Active().Read(handle, buffer, bytesToRead, bytesReturned);
}

BridgeStatus SelectedBridge::Write(DeviceHandle handle, const std::uint8_t* buffer,
                                   std::uint32_t bytesToWrite, std::uint32_t* bytesWritten) {
    return Active().Write(handle, buffer, bytesToWrite, bytesWritten);
}

BridgeStatus SelectedBridge::FlushBuffers(DeviceHandle handle, std::uint8_t flushTransmit,
                                          std::uint8_t flushReceive) {
    return Active().FlushBuffers(handle, flushTransmit, flushReceive);
}

BridgeStatus SelectedBridge::CheckRXQueue(DeviceHandle handle, std::uint32_t* bytesInQueue,
                                          std::uint32_t* queueStatus) {
    return Active().CheckRXQueue(handle, bytesInQueue, queueStatus);
}
