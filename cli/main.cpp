#include "cli/TalvoEdid.h"
#include "cli/Terminal.h"
#include "device/LibraryLock.h"
#include "device/VendorBridgeLibrary.h"

#include <iostream>
#include <string>

int main(int argc, char* argv[]) {
    // The lock exists before anything can call into the bridge library.
    LibraryLock::Instance();
    VendorBridgeLibrary library;
    SystemClock clock;
    const CliServices services{
        library, clock, std::cout, std::cerr, StandardErrorIsTerminal(), [&library] {
            return library.LoadFailure();
        }};
    return RunTalvoEdid(argc, argv, services);
}
