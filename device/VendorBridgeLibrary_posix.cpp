#include "device/VendorBridgeLibrary.h"
#include "device/VendorBridgeModule.h"

#include <dlfcn.h>

namespace {

// The loader's last complaint, which names the file.
std::string LoaderReason() {
    const char* error = dlerror();
    return error != nullptr ? error : "unknown loader error";
}

template <typename Function>
bool Resolve(void* module, const char* name, Function* function, BridgeLoadFailure* failure) {
    void* address = dlsym(module, name);
    *function = reinterpret_cast<Function>(address);
    if (address == nullptr) {
        failure->problem = BridgeLoadProblem::OperationMissing;
        failure->operation = name;
        failure->systemText = LoaderReason();
    }
    return address != nullptr;
}

} // namespace

const char* VendorBridgeLibrary::DefaultFileName() {
    return TALVO_VENDOR_LIBRARY_FILE;
}

void* LoadVendorModule(const std::string& fileName, BridgeLoadFailure* failure) {
    void* module = dlopen(fileName.c_str(), RTLD_NOW);
    if (module == nullptr) {
        failure->problem = BridgeLoadProblem::LibraryNotLoaded;
        failure->systemText = LoaderReason();
    }
    return module;
}

// The library's public names.
bool BindVendorFunctions(void* module, VendorBridgeFunctions* f, BridgeLoadFailure* failure) {
    return Resolve(module, "SI_GetNumDevices", &f->getNumDevices, failure) &&
           Resolve(module, "SI_GetProductString", &f->getProductString, failure) &&
           Resolve(module, "SI_Open", &f->open, failure) &&
           Resolve(module, "SI_Close", &f->close, failure) &&
           Resolve(module, "SI_Read", &f->read, failure) &&
           Resolve(module, "SI_Write", &f->write, failure) &&
           Resolve(module, "SI_FlushBuffers", &f->flushBuffers, failure) &&
           Resolve(module, "SI_CheckRXQueue", &f->checkRXQueue, failure);
}

void UnloadVendorModule(void* module) {
    dlclose(module);
}
