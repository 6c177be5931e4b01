// The Windows binding of the bridge library, end to end: the program's own
// VendorBridgeLibrary loads the stand-in SiUSBXp.dll from beside the
// executable, binds its eight operations by ordinal and runs whole operations
// through it; the stand-in logs every request it receives.

#include "tests/support/RecordingTransportEvents.h"
#include "tests/windows/Check.h"
#include "tests/windows/RecordingTransferSink.h"
#include "tests/windows/StandinRun.h"

#include "device/BridgeTransport.h"
#include "device/CommandFrames.h"
#include "device/ControlCommands.h"
#include "device/VendorBridgeLibrary.h"
#include "edid/Checksum.h"
#include "edid/HexText.h"
#include "sim/SimulatedUnit.h"
#include "transfer/EdidRead.h"
#include "transfer/EdidWrite.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace {

constexpr std::uint8_t kDeviceAddress = 0xB0;

std::wstring DirectoryOf(const std::wstring& path) {
    return path.substr(0, path.find_last_of(L"\\/"));
}

std::wstring ModuleDirectory(HMODULE module) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(module, path, MAX_PATH);
    return DirectoryOf(path);
}

std::wstring WorkingDirectory() {
    wchar_t path[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, path);
    return path;
}

// Every operation the program runs, over one loaded library, so that the
// stand-in's unit keeps what was written to it from one check to the next.
struct Rig {
    StandinRun run{"binding"};
    VendorBridgeLibrary library;
    SystemClock clock;
    RecordingTransportEvents events;
    BridgeTransport transport{library, clock, events};
    ControlCommands commands{transport};
};

void LibraryIsFoundBesideTheProgramAndBoundByOrdinal(Rig& rig) {
    CHECK(rig.library.IsBound());
    const HMODULE module = GetModuleHandleW(L"SiUSBXp.dll");
    CHECK(module != nullptr);
    CHECK(ModuleDirectory(module) == ModuleDirectory(nullptr));
    // The test runs elsewhere, so the working directory cannot have supplied it.
    CHECK(WorkingDirectory() != ModuleDirectory(nullptr));

    // Only the ordinals lead to the operations: there is no name to bind by.
    for (const char* name : {"SI_GetNumDevices", "SI_GetProductString", "SI_Open", "SI_Close",
                             "SI_Read", "SI_Write", "SI_FlushBuffers", "SI_CheckRXQueue"}) {
        CHECK(GetProcAddress(module, name) == nullptr);
    }
    const std::vector<int> bound = {1, 2, 3, 4, 6, 7, 9, 12};
    for (int ordinal = 1; ordinal <= 16; ++ordinal) {
        const bool expected = std::find(bound.begin(), bound.end(), ordinal) != bound.end();
        CHECK((GetProcAddress(module, MAKEINTRESOURCEA(ordinal)) != nullptr) == expected);
    }

    // Arguments and results cross the stdcall boundary intact: the option
    // picks the serial or the product string.
    std::uint32_t count = 0;
    CHECK(rig.library.GetNumDevices(&count) == kBridgeSuccess && count == 1);
    char serial[kDeviceStringSize] = {};
    CHECK(rig.library.GetProductString(0, serial, DeviceStringOption::SerialNumber) ==
          kBridgeSuccess);
    CHECK(std::string(serial) == "2022");
    char product[kDeviceStringSize] = {};
    CHECK(rig.library.GetProductString(0, product, DeviceStringOption::Description) ==
          kBridgeSuccess);
    CHECK(std::string(product) == "TALVO");
}

// The mode, the table and the resets cross the library boundary intact: the
// unit takes them, and what it gives back is what it was sent.
void OperationsRunThroughTheLibrary(Rig& rig) {
    rig.run.NewLogLines();
    CHECK(rig.commands.SetEDIDMode(EdidMode::Custom).Answered());
    std::array<std::uint8_t, frames::kStatusShortReplyLength> status{};
    CHECK(rig.commands.QueryStatus(status.data(), status.size()).Answered());
    CHECK(status[frames::kStatusModeByte] == SimulatedUnit::kCustom);
    CHECK(SameLines(rig.run.NewLogLines(),
                    {"open", "11 02 E0 23 24 03 0D", "close", "open", "11 02 E1 23 24 03 0D",
                     "close", "open", "11 02 E4 23 24 03 0D", "close", "open", "02", "close"}));

    RecordingTransferSink sink;
    const ReadReport read = ReadEDIDfromDevice(rig.transport, sink, kDeviceAddress);
    CHECK(read.Succeeded());
    CHECK(CanonicalHexText(read.table) ==
          CanonicalHexText(SimulatedUnit::DefaultTable(kDeviceAddress)));
    // Bytes of its own, so that the table read back can only be the one
    // written.
    EdidImage table = SimulatedUnit::DefaultTable(kDeviceAddress);
    for (std::size_t i = 0; i < 8; ++i) {
        table[0x5F + i] = static_cast<std::uint8_t>('W' + i);
    }
    RepairChecksums(table);
    CHECK(WriteEDIDtoDevice(rig.transport, sink, table, kDeviceAddress).Succeeded());
    CHECK(ResetAfterWrite(rig.commands, rig.clock).Answered());
    const ReadReport readBack = ReadEDIDfromDevice(rig.transport, sink, kDeviceAddress);
    CHECK(readBack.Succeeded());
    CHECK(readBack.table == table);
    CHECK(sink.refused.empty());
    CHECK(rig.events.events.empty());
}

void MissingLibraryGivesNoUnit(Rig& rig) {
    rig.run.NewLogLines();
    VendorBridgeLibrary missing("SiUSBXp-missing.dll");
    CHECK(!missing.IsBound());
    std::uint32_t count = 0;
    CHECK(missing.GetNumDevices(&count) != kBridgeSuccess);

    SystemClock clock;
    RecordingTransportEvents events;
    BridgeTransport transport(missing, clock, events);
    CHECK(transport.OpenDevice().step == OpenStep::Count);
    CHECK(*transport.Handle() == kNoDevice);
    CHECK(events.events.empty());

    RecordingTransferSink sink;
    const ReadReport read = ReadEDIDfromDevice(transport, sink, kDeviceAddress);
    CHECK(read.outcome == ReadOutcome::NoUnit);
    CHECK(read.open.step == OpenStep::Count);
    // Nothing reached the stand-in that the rig has loaded.
    CHECK(rig.run.NewLogLines().empty());
}

} // namespace

int main() {
    Rig rig;
    LibraryIsFoundBesideTheProgramAndBoundByOrdinal(rig);
    OperationsRunThroughTheLibrary(rig);
    MissingLibraryGivesNoUnit(rig);
    return check::Summary();
}
