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
bool Resolve(void* module, const char* name, Function* function, std::string* reason) {
    void* address = dlsym(module, name);
    *function = reinterpret_cast<Function>(address);
    if (address == nullptr) {
        *reason = LoaderReason();
    }
    return address != nullptr;
}

} // namespace

const char* VendorBridgeLibrary::DefaultFileName() {
    return TALVO_VENDOR_LIBRARY_FILE;
}

void* LoadVendorModule(const std::string& fileName, std::string* reason) {
    void* module = dlopen(fileName.c_str(), RTLD_NOW);
    if (module == nullptr) {
        *reason = LoaderReason();
    }
    return module;
}

// The library's public names.
bool BindVendorFunctions(void* module, VendorBridgeFunctions* f, std::string* reason) {
    return Resolve(module, "SI_GetNumDevices", &f->getNumDevices, reason) &&
           Resolve(module, "SI_GetProductString", &f->getProductString, reason) &&
           Resolve(module, "SI_Open", &f->open, reason) &&
           Resolve(module, "SI_Close", &f->close, reason) &&
           Resolve(module, "SI_Read", &f->read, reason) &&
           Resolve(module, "SI_Write", &f->write, reason) &&
           Resolve(module, "SI_FlushBuffers", &f->flushBuffers, reason) &&
           Resolve(module, "SI_CheckRXQueue", &f->checkRXQueue, reason);
}

void UnloadVendorModule(void* module) {
    dlclose(module);
}
