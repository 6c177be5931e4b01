#pragma once

#include "device/BridgeLoadFailure.h"

#include <cstdint>
#include <string>

// The library's own types: 32-bit counts and lengths, a pointer-sized handle.
using VendorDword = std::uint32_t;
using VendorHandle = void*;

// An operation of the library in its calling convention, which the build
// names in TALVO_VENDOR_CALL: __stdcall for SiUSBXp.dll, the C default
// elsewhere.
template <typename... Arguments> using VendorFunction = int(TALVO_VENDOR_CALL*)(Arguments...);

// The eight operations of the bridge library, as the library declares them.
struct VendorBridgeFunctions {
    VendorFunction<VendorDword*> getNumDevices;
    VendorFunction<VendorDword, void*, VendorDword> getProductString;
    VendorFunction<VendorDword, VendorHandle*> open;
    VendorFunction<VendorHandle> close;
    VendorFunction<VendorHandle, void*, VendorDword, VendorDword*, void*> read;
    VendorFunction<VendorHandle, void*, VendorDword, VendorDword*, void*> write;
    VendorFunction<VendorHandle, unsigned char, unsigned char> flushBuffers;
    VendorFunction<VendorHandle, VendorDword*, VendorDword*> checkRXQueue;
};

// How the platform finds, binds and releases the library; the build picks
// one implementation per platform. A failure fills *failure's problem, the
// operation that was missing and the loader's own text.
void* LoadVendorModule(const std::string& fileName, BridgeLoadFailure* failure);
bool BindVendorFunctions(void* module, VendorBridgeFunctions* functions,
                         BridgeLoadFailure* failure);
void UnloadVendorModule(void* module);
