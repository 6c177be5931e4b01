#pragma once

#include "device/Clock.h"
#include "sim/SimulatedBridge.h"
#include "sim/SimulatedUnit.h"

#include <umockdev.h>

#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

// One bridge device at the level of the kernel's USB file system, behind
// umockdev: its sysfs entry with the descriptors, and an ioctl handler that
// answers what libusb asks of the device node: claims, driver detach and
// re-attach, the bridge's vendor request, string descriptors, and bulk URBs
// submitted, reaped and discarded. A unit has the simulated TALVO behind its
// bulk endpoints, reached through the simulated bridge, whose fault script
// still applies. Until the data path is enabled, OUT URBs stay pending (the
// bridge NAKs) and IN URBs get nothing.
class EmulatedBridge {
public:
    struct Options {
        int bus = 1;
        int address = 7;
        std::string port = "2";
        std::string serial = SimulatedUnit::kSerial;
        std::string product = "TALVO";
        bool isUnit = true;
    };

    EmulatedBridge(UMockdevTestbed* testbed, const Options& options);
    ~EmulatedBridge();
    EmulatedBridge(const EmulatedBridge&) = delete;
    EmulatedBridge& operator=(const EmulatedBridge&) = delete;

    SimulatedUnit& Unit() { return unit_; }
    // Its fault script; set before the bridge is used.
    SimulatedBridge& Backend() { return backend_; }

    // Faults, any time.
    void SetBusy(bool busy);
    void StallOut(bool stall);
    // The device goes away when the n-th request reaches it (counted from 1):
    // that URB and everything after fails as on a pulled cable.
    void UnplugAtRequest(int n);

    // What the device saw: "claim 0", "detach cp210x", "attach", "release 0",
    // "vendor 0002", "string 3", "out 11 10 B0 00", "in 16", "discard".
    std::vector<std::string> Log() const;
    bool DriverBound() const;
    bool DataPathEnabled() const;
    std::string NodePath() const { return node_; }
    std::string SysPath() const { return sysPath_; }

private:
    struct Urb {
        UMockdevIoctlData* data; // the client's usbdevfs_urb, resolved
        UMockdevIoctlData* buffer;
    };

    static gboolean OnIoctl(UMockdevIoctlBase* handler, UMockdevIoctlClient* client, gpointer self);
    long Handle(unsigned long request, UMockdevIoctlData* argument, int* error);
    long Submit(UMockdevIoctlData* argument, int* error);
    long Reap(UMockdevIoctlData* argument, int* error);
    long Discard(UMockdevIoctlData* argument, int* error);
    int Control(Urb& urb);
    void Vendor(std::uint16_t action);
    bool DeliverOut(Urb& urb);
    void FillPendingIns();
    void Complete(Urb urb, int status, int actualLength);
    void Record(std::string line);

    SystemClock clock_;
    SimulatedUnit unit_;
    SimulatedBridge backend_{clock_, unit_};
    Options options_;
    UMockdevTestbed* testbed_;
    UMockdevIoctlBase* handler_;
    std::string sysPath_;
    std::string node_;

    mutable std::mutex mutex_;
    std::vector<std::string> log_;
    bool busy_ = false;
    bool stallOut_ = false;
    int unplugAt_ = 0;
    int requests_ = 0;
    bool unplugged_ = false;
    bool driverBound_ = true;
    bool dataPath_ = false;
    DeviceHandle backendHandle_ = kNoDevice;
    std::deque<Urb> pendingIn_;
    std::deque<Urb> pendingOut_;
    std::deque<Urb> completed_;
};
