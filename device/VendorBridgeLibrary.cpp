#include "VendorBridgeLibrary.h"

#ifdef _WIN32
#include <windows.h>
#define BRIDGE_CALL WINAPI
#else
#include <dlfcn.h>
#define BRIDGE_CALL
#endif

#include <cstdint>

namespace {

// The library's own types: 32-bit counts and lengths, a pointer-sized handle.
using VendorStatus = int;
using VendorDword = std::uint32_t;
using VendorHandle = void*;

// Any non-zero status will do: the program never tells failures apart.
constexpr BridgeStatus kUnbound = 0xFF;

VendorHandle ToVendor(DeviceHandle handle) {
    return reinterpret_cast<VendorHandle>(handle);
}

} // namespace

struct VendorBridgeLibrary::Functions {
    VendorStatus(BRIDGE_CALL* getNumDevices)(VendorDword*);
    VendorStatus(BRIDGE_CALL* getProductString)(VendorDword, void*, VendorDword);
    VendorStatus(BRIDGE_CALL* open)(VendorDword, VendorHandle*);
    VendorStatus(BRIDGE_CALL* close)(VendorHandle);
    VendorStatus(BRIDGE_CALL* read)(VendorHandle, void*, VendorDword, VendorDword*, void*);
    VendorStatus(BRIDGE_CALL* write)(VendorHandle, void*, VendorDword, VendorDword*, void*);
    VendorStatus(BRIDGE_CALL* flushBuffers)(VendorHandle, unsigned char, unsigned char);
    VendorStatus(BRIDGE_CALL* checkRXQueue)(VendorHandle, VendorDword*, VendorDword*);
};

namespace {

#ifdef _WIN32
// The DLL exports its operations by ordinal number only.
enum Ordinal : WORD {
    kGetNumDevices = 1,
    kGetProductString = 2,
    kOpen = 3,
    kClose = 4,
    kRead = 6,
    kWrite = 7,
    kFlushBuffers = 9,
    kCheckRXQueue = 12,
};

void* LoadModule(const std::string& fileName) {
    const std::wstring wide(fileName.begin(), fileName.end());
    return reinterpret_cast<void*>(LoadLibraryW(wide.c_str()));
}

template <typename Function> bool Resolve(void* module, Ordinal ordinal, Function* function) {
    const FARPROC address = GetProcAddress(static_cast<HMODULE>(module), MAKEINTRESOURCEA(ordinal));
    *function = reinterpret_cast<Function>(reinterpret_cast<void*>(address));
    return address != nullptr;
}

void UnloadModule(void* module) {
    FreeLibrary(static_cast<HMODULE>(module));
}

#define BRIDGE_SYMBOL(ordinal, name) ordinal
#else
void* LoadModule(const std::string& fileName) {
    return dlopen(fileName.c_str(), RTLD_NOW);
}

template <typename Function> bool Resolve(void* module, const char* name, Function* function) {
    void* address = dlsym(module, name);
    *function = reinterpret_cast<Function>(address);
    return address != nullptr;
}

void UnloadModule(void* module) {
    dlclose(module);
}

#define BRIDGE_SYMBOL(ordinal, name) name
#endif

} // namespace

const char* VendorBridgeLibrary::DefaultFileName() {
#if defined(_WIN32)
    return "SiUSBXp.dll";
#elif defined(__APPLE__)
    return "libSiUSBXp.dylib";
#else
    return "libSiUSBXp.so";
#endif
}

VendorBridgeLibrary::VendorBridgeLibrary() : VendorBridgeLibrary(DefaultFileName()) {}

VendorBridgeLibrary::VendorBridgeLibrary(std::string fileName) : fileName_(std::move(fileName)) {}

VendorBridgeLibrary::~VendorBridgeLibrary() {
    Unload();
}

bool VendorBridgeLibrary::IsBound() {
    std::call_once(bindOnce_, [this] { Bind(); });
    return functions_ != nullptr;
}

void VendorBridgeLibrary::Bind() {
    module_ = LoadModule(fileName_);
    if (module_ == nullptr) {
        return;
    }
    auto* functions = new Functions{};
    const bool all =
        Resolve(module_, BRIDGE_SYMBOL(kGetNumDevices, "SI_GetNumDevices"),
                &functions->getNumDevices) &&
        Resolve(module_, BRIDGE_SYMBOL(kGetProductString, "SI_GetProductString"),
                &functions->getProductString) &&
        Resolve(module_, BRIDGE_SYMBOL(kOpen, "SI_Open"), &functions->open) &&
        Resolve(module_, BRIDGE_SYMBOL(kClose, "SI_Close"), &functions->close) &&
        Resolve(module_, BRIDGE_SYMBOL(kRead, "SI_Read"), &functions->read) &&
        Resolve(module_, BRIDGE_SYMBOL(kWrite, "SI_Write"), &functions->write) &&
        Resolve(module_, BRIDGE_SYMBOL(kFlushBuffers, "SI_FlushBuffers"),
                &functions->flushBuffers) &&
        Resolve(module_, BRIDGE_SYMBOL(kCheckRXQueue, "SI_CheckRXQueue"), &functions->checkRXQueue);
    // Bound as a whole or not at all.
    if (all) {
        functions_ = functions;
    } else {
        delete functions;
        Unload();
    }
}

void VendorBridgeLibrary::Unload() {
    delete functions_;
    functions_ = nullptr;
    if (module_ != nullptr) {
        UnloadModule(module_);
        module_ = nullptr;
    }
}

BridgeStatus VendorBridgeLibrary::GetNumDevices(std::uint32_t* count) {
    if (!IsBound()) {
        return kUnbound;
    }
    VendorDword value = 0;
    const VendorStatus status = functions_->getNumDevices(&value);
    *count = value;
    return static_cast<BridgeStatus>(status);
}

BridgeStatus VendorBridgeLibrary::GetProductString(std::uint32_t index, char* buffer,
                                                   DeviceStringOption option) {
    if (!IsBound()) {
        return kUnbound;
    }
    return static_cast<BridgeStatus>(
        functions_->getProductString(index, buffer, static_cast<VendorDword>(option)));
}

BridgeStatus VendorBridgeLibrary::Open(std::uint32_t index, DeviceHandle* handle) {
    if (!IsBound()) {
        return kUnbound;
    }
    VendorHandle opened = ToVendor(*handle);
    const VendorStatus status = functions_->open(index, &opened);
    *handle = reinterpret_cast<DeviceHandle>(opened);
    return static_cast<BridgeStatus>(status);
}

BridgeStatus VendorBridgeLibrary::Close(DeviceHandle handle) {
    if (!IsBound()) {
        return kUnbound;
    }
    return static_cast<BridgeStatus>(functions_->close(ToVendor(handle)));
}

BridgeStatus VendorBridgeLibrary::Read(DeviceHandle handle, std::uint8_t* buffer,
                                       std::uint32_t bytesToRead, std::uint32_t* bytesReturned) {
    if (!IsBound()) {
        return kUnbound;
    }
    VendorDword returned = 0;
    const VendorStatus status =
        functions_->read(ToVendor(handle), buffer, bytesToRead, &returned, nullptr);
    *bytesReturned = returned;
    return static_cast<BridgeStatus>(status);
}

BridgeStatus VendorBridgeLibrary::Write(DeviceHandle handle, const std::uint8_t* buffer,
                                        std::uint32_t bytesToWrite, std::uint32_t* bytesWritten) {
    if (!IsBound()) {
        return kUnbound;
    }
    VendorDword written = 0;
    // The library takes a non-const pointer but only reads the request.
    const VendorStatus status = functions_->write(
        ToVendor(handle), const_cast<std::uint8_t*>(buffer), bytesToWrite, &written, nullptr);
    *bytesWritten = written;
    return static_cast<BridgeStatus>(status);
}

BridgeStatus VendorBridgeLibrary::FlushBuffers(DeviceHandle handle, std::uint8_t flushTransmit,
                                               std::uint8_t flushReceive) {
    if (!IsBound()) {
        return kUnbound;
    }
    return static_cast<BridgeStatus>(
        functions_->flushBuffers(ToVendor(handle), flushTransmit, flushReceive));
}

BridgeStatus VendorBridgeLibrary::CheckRXQueue(DeviceHandle handle, std::uint32_t* bytesInQueue,
                                               std::uint32_t* queueStatus) {
    if (!IsBound()) {
        return kUnbound;
    }
    VendorDword waiting = 0;
    VendorDword status = 0;
    const VendorStatus result = functions_->checkRXQueue(ToVendor(handle), &waiting, &status);
    *bytesInQueue = waiting;
    *queueStatus = status;
    return static_cast<BridgeStatus>(result);
}
