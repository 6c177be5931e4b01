#pragma once

// The libusb path's time for one EDID read and one write, through a bridge
// emulated at the USB file system level by umockdev, beside the simulated
// bridge's and the waits the protocol fixes. Prints the figures; false, having
// said why, where it cannot run (no umockdev-wrapper, or no libusb path on
// this system).
bool ReportUsbPath(int runs);
