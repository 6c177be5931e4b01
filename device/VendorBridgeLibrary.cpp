#include "device/VendorBridgeLibrary.h"

#include "device/VendorBridgeModule.h"

namespace {

// Without the library there is no device to be found.
constexpr BridgeStatus kUnbound = BridgeStatus(BridgeFailure::DeviceNotFound);

VendorHandle ToVendor(DeviceHandle handle) {
    return reinterpret_cast<VendorHandle>(handle);
}

} // namespace

VendorBridgeLibrary::VendorBridgeLibrary() : VendorBridgeLibrary(DefaultFileName()) {}

VendorBridgeLibrary::VendorBridgeLibrary(std::string fileName) : fileName_(std::move(fileName)) {}

VendorBridgeLibrary::~VendorBridgeLibrary() {
    Unload();
}

bool VendorBridgeLibrary::IsBound() {
    std::call_once(bindOnce_, [this] { Bind(); });
    return functions_ != nullptr;
}

BridgeLoadFailure VendorBridgeLibrary::LoadFailure() {
    return IsBound() ? BridgeLoadFailure{} : loadFailure_;
}

void VendorBridgeLibrary::Bind() {
    BridgeLoadFailure failure;
    failure.library = fileName_;
    module_ = LoadVendorModule(fileName_, &failure);
    if (module_ != nullptr) {
        auto functions = std::make_unique<VendorBridgeFunctions>();
        // Bound as a whole or not at all.
        if (BindVendorFunctions(module_, functions.get(), &failure)) {
            functions_ = std::move(functions);
            return;
        }
        Unload();
    }
    loadFailure_ = failure;
}

void VendorBridgeLibrary::Unload() {
    functions_.reset();
    if (module_ != nullptr) {
        UnloadVendorModule(module_);
        module_ = nullptr;
    }
}

BridgeStatus VendorBridgeLibrary::GetNumDevices(std::uint32_t* count) {
    if (!IsBound()) {
        return kUnbound;
    }
    VendorDword value = 0;
    const int status = functions_->getNumDevices(&value);
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
    const int status = functions_->open(index, &opened);
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
    const int status = functions_->read(ToVendor(handle), buffer, bytesToRead, &returned, nullptr);
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
    const int status = functions_->write(ToVendor(handle), const_cast<std::uint8_t*>(buffer),
                                         bytesToWrite, &written, nullptr);
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
    const int result = functions_->checkRXQueue(ToVendor(handle), &waiting, &status);
    *bytesInQueue = waiting;
    *queueStatus = status;
    return static_cast<BridgeStatus>(result);
}
