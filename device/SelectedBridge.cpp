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

BridgeLibrary& SelectedBridge::Target() {
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

UsbProblem SelectedBridge::LastProblem() {
    return UsesUsb() ? usb_->LastProblem() : UsbProblem{};
}
