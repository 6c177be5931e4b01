#pragma once

#include "device/BridgeLibrary.h"
#include "device/ForwardingBridgeLibrary.h"
#include "device/UsbBridgeLibrary.h"
#include "device/UsbTrace.h"
#include "device/VendorBridgeLibrary.h"

#include <memory>
#include <mutex>
#include <string>

// Which way the program reaches the bridge: the vendor library when it loads
// and the USB path otherwise (Auto), or only the one named.
enum class BridgeChoice { Auto, Library, Usb };

// "auto", "library" or "usb"; false for anything else.
bool ParseBridgeChoice(const std::string& text, BridgeChoice* choice);

// The bridge library the program uses, picked once, on first use, by the
// choice: every operation goes to the vendor library or to the USB path.
class SelectedBridge : public ForwardingBridgeLibrary {
public:
    SelectedBridge();
    // For tests: a vendor library under another file name, and a USB path
    // (null where the system has none).
    SelectedBridge(std::unique_ptr<VendorBridgeLibrary> vendor,
                   std::unique_ptr<UsbBridgeLibrary> usb);

    // Before the first operation; later calls change nothing. False, with
    // the choice unchanged, for the USB path on a system without one.
    bool Choose(BridgeChoice choice);
    // Records every USB transfer in the file; false when it cannot be
    // created. Only the USB path has transfers to record.
    bool TraceTo(const std::string& path);

    // Whether this system has a second way to the bridge at all; where it
    // has not, there is no choice to tell the user about.
    bool OffersUsb() const { return usb_ != nullptr; }
    // "the vendor library libSiUSBXp.so" or "libusb".
    std::string Name();
    // No failure while the chosen bridge can be used; otherwise why not.
    BridgeLoadFailure LoadFailure();
    // Why the last operation on the USB path failed (permission, busy,
    // unplugged, time-out); none on the vendor library, which does not say.
    UsbProblem LastProblem();

protected:
    BridgeLibrary& Target() override;

private:
    bool UsesUsb();

    std::unique_ptr<VendorBridgeLibrary> vendor_;
    std::unique_ptr<UsbBridgeLibrary> usb_;
    BridgeChoice choice_ = BridgeChoice::Auto;
    std::once_flag pickOnce_;
    bool usesUsb_ = false;
    UsbTrace trace_;
};
