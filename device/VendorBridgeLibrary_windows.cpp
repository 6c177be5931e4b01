#include "device/VendorBridgeLibrary.h"
#include "device/VendorBridgeModule.h"

#include <windows.h>

namespace {

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

// The system's text for the last error, without its line break.
std::string LoaderReason() {
    const DWORD error = GetLastError();
    char* text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string reason = length > 0 ? std::string(text, length) : "error " + std::to_string(error);
    LocalFree(text);
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r')) {
        reason.pop_back();
    }
    return reason;
}

// Bound by its ordinal, told by its public name.
template <typename Function>
bool Resolve(void* module, Ordinal ordinal, const char* name, Function* function,
             BridgeLoadFailure* failure) {
    const FARPROC address = GetProcAddress(static_cast<HMODULE>(module), MAKEINTRESOURCEA(ordinal));
    *function = reinterpret_cast<Function>(reinterpret_cast<void*>(address));
    if (address == nullptr) {
        failure->problem = BridgeLoadProblem::OperationMissing;
        failure->operation = name;
        failure->systemText = LoaderReason();
    }
    return address != nullptr;
}

} // namespace

const char* VendorBridgeLibrary::DefaultFileName() {
    return "SiUSBXp.dll";
}

// Only the program's own folder and the system folder are searched: a DLL of
// that name in the working folder or on PATH is never loaded.
void* LoadVendorModule(const std::string& fileName, BridgeLoadFailure* failure) {
    const std::wstring wide(fileName.begin(), fileName.end());
    const HMODULE module = LoadLibraryExW(
        wide.c_str(), nullptr, LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (module == nullptr) {
        failure->problem = BridgeLoadProblem::LibraryNotLoaded;
        failure->systemText = LoaderReason();
    }
    return reinterpret_cast<void*>(module);
}

bool BindVendorFunctions(void* module, VendorBridgeFunctions* f, BridgeLoadFailure* failure) {
    return Resolve(module, kGetNumDevices, "SI_GetNumDevices", &f->getNumDevices, failure) &&
           Resolve(module, kGetProductString, "SI_GetProductString", &f->getProductString,
                   failure) &&
           Resolve(module, kOpen, "SI_Open", &f->open, failure) &&
           Resolve(module, kClose, "SI_Close", &f->close, failure) &&
           Resolve(module, kRead, "SI_Read", &f->read, failure) &&
           Resolve(module, kWrite, "SI_Write", &f->write, failure) &&
           Resolve(module, kFlushBuffers, "SI_FlushBuffers", &f->flushBuffers, failure) &&
           Resolve(module, kCheckRXQueue, "SI_CheckRXQueue", &f->checkRXQueue, failure);
}

void UnloadVendorModule(void* module) {
    FreeLibrary(static_cast<HMODULE>(module));
}
