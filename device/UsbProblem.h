#pragma once

#include <cstdint>
#include <string>

// Why an operation on the USB path failed, as data for the front ends to
// word: what happened, to which bridge, while it was doing what, and
// libusb's own text where libusb gave no more particular reason.
enum class UsbProblemKind {
    None,
    NoPermission, // the device node may not be opened: no udev rule
    Busy,         // another program or driver holds the bridge
    Unplugged,
    TimedOut,
    Stalled,
    Failed,            // any other libusb error: see libusbText
    NoVendorInterface, // no vendor interface with bulk endpoints
    NoSuchDevice,      // no bridge device under that index
    NotOpen,           // no bridge is open under that handle
    UnknownOption,     // a device string option the bridge does not know
    ListFailed,        // libusb could not list the USB devices
};

// What the bridge was doing when it failed.
enum class UsbActivity {
    None,
    ReadingStrings,
    Opening,
    Claiming,
    EnablingDataPath,
    TakingRequest,
    SendingReply,
    PurgingBuffers,
};

struct UsbProblem {
    UsbProblemKind kind = UsbProblemKind::None;
    UsbActivity doing = UsbActivity::None;
    // The bridge's bus and device numbers.
    int bus = 0;
    int address = 0;
    // The device index asked for (NoSuchDevice).
    std::uint32_t deviceIndex = 0;
    std::string libusbText;

    bool Occurred() const { return kind != UsbProblemKind::None; }
};
