#pragma once

#include <string>

// Why the chosen way to the bridge cannot be used at all, as data for the
// front ends to word: what went wrong, with which library, and the system's
// own text for it (the loader's, or libusb's), kept as it came.
enum class BridgeLoadProblem {
    None,
    // The vendor library's file could not be loaded.
    LibraryNotLoaded,
    // It loaded, but one of the eight operations is not in it.
    OperationMissing,
    // libusb could not be started.
    UsbNotStarted,
};

struct BridgeLoadFailure {
    BridgeLoadProblem problem = BridgeLoadProblem::None;
    // The vendor library's file name ("libSiUSBXp.so", "SiUSBXp.dll"), or
    // "libusb".
    std::string library;
    // The operation that could not be bound ("SI_Open"); empty otherwise.
    std::string operation;
    std::string systemText;

    bool Failed() const { return problem != BridgeLoadProblem::None; }
};
