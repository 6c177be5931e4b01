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

template <typename Function>
bool Resolve(void* module, Ordinal ordinal, Function* function, std::string* reason) {
    const FARPROC address = GetProcAddress(static_cast<HMODULE>(module), MAKEINTRESOURCEA(ordinal));
    *function = reinterpret_cast<Function>(reinterpret_cast<void*>(address));
    if (address == nullptr) {
        *reason = "ordinal " + std::to_string(ordinal) + ": " + LoaderReason();
    }
    return address != nullptr;
}

} // namespace

const char* VendorBridgeLibrary::DefaultFileName() {
    return "SiUSBXp.dll";
}

// Only the program's own folder and the system folder are searched: a DLL of
// that name in the working folder or on PATH is never loaded.
void* LoadVendorModule(const std::string& fileName, std::string* reason) {
    const std::wstring wide(fileName.begin(), fileName.end());
    const HMODULE module = LoadLibraryExW(
        wide.c_str(), nullptr, LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (module == nullptr) {
        *reason = LoaderReason();
    }
    return reinterpret_cast<void*>(module);
}

bool BindVendorFunctions(void* module, VendorBridgeFunctions* f, std::string* reason) {
    return Resolve(module, kGetNumDevices, &f->getNumDevices, reason) &&
           Resolve(module, kGetProductString, &f->getProductString, reason) &&
           Resolve(module, kOpen, &f->open, reason) && Resolve(module, kClose, &f->close, reason) &&
           Resolve(module, kRead, &f->read, reason) && Resolve(module, kWrite, &f->write, reason) &&
           Resolve(module, kFlushBuffers, &f->flushBuffers, reason) &&
           Resolve(module, kCheckRXQueue, &f->checkRXQueue, reason);
}

void UnloadVendorModule(void* module) {
    FreeLibrary(static_cast<HMODULE>(module));
}
