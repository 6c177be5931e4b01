// The Windows binding of the bridge library, end to end: the program's own
// VendorBridgeLibrary loads the stand-in SiUSBXp.dll from beside the
// executable, binds its eight operations by ordinal and runs whole operations
// through it; the stand-in logs every request it receives.

#include "Check.h"
#include "RecordingNativeWarning.h"
#include "RecordingTransferSink.h"
#include "StandinRun.h"

#include "BridgeTransport.h"
#include "Checksum.h"
#include "CommandFrames.h"
#include "ControlCommands.h"
#include "EdidRead.h"
#include "EdidWrite.h"
#include "HexText.h"
#include "SimulatedUnit.h"
#include "VendorBridgeLibrary.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace {

constexpr std::uint8_t kDeviceAddress = 0xB0;

struct WindowWarningRecorder : WindowWarning {
    void ShowWarning(const char* text) override { texts.emplace_back(text); }
    std::vector<std::string> texts;
};

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

std::vector<std::string> OpenClose(std::vector<std::string> requests) {
    requests.insert(requests.begin(), "open");
    requests.push_back("close");
    return requests;
}

// Every operation the program runs, over one loaded library, so that the
// stand-in's unit keeps what was written to it from one check to the next.
struct Rig {
    StandinRun run{"binding"};
    VendorBridgeLibrary library;
    SystemClock clock;
    RecordingNativeWarning warning;
    BridgeTransport transport{library, clock, warning};
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

void ControlCommandGoesOutByteForByte(Rig& rig) {
    rig.run.NewLogLines();
    CHECK(rig.commands.SetEDIDMode("CustomEDID").Answered());
    std::vector<std::string> expected;
    for (const char* request :
         {"11 02 E0 23 24 03 0D", "11 02 E1 23 24 03 0D", "11 02 E4 23 24 03 0D"}) {
        const auto cycle = OpenClose({request});
        expected.insert(expected.end(), cycle.begin(), cycle.end());
    }
    CHECK(SameLines(rig.run.NewLogLines(), expected));

    // The unit took the mode: its status reply says CUSTOM.
    std::array<std::uint8_t, frames::kStatusShortReplyLength> status{};
    WindowWarningRecorder window;
    CHECK(rig.commands.QueryStatus(status.data(), status.size(), window).Answered());
    CHECK(status[frames::kStatusModeByte] == SimulatedUnit::kCustom);
    CHECK(SameLines(rig.run.NewLogLines(), OpenClose({"02"})));
    CHECK(window.texts.empty());
    CHECK(rig.warning.texts.empty());
}

std::vector<std::string> ReadRequests() {
    std::vector<std::string> requests;
    std::array<std::uint8_t, frames::kBlockReadLength> request{};
    for (int offset = 0; offset < 256; offset += 16) {
        request = frames::BlockReadRequest(16, kDeviceAddress, static_cast<std::uint8_t>(offset));
        requests.push_back(SpacedRequest(request.data(), request.size()));
    }
    // The status request that follows a table read reuses the last chunk's
    // request area.
    requests.push_back("02 10 B0 F0 00 00 00 00");
    return requests;
}

void EdidReadRunsThroughTheLibrary(Rig& rig) {
    rig.run.NewLogLines();
    RecordingTransferSink sink;
    CHECK(ReadEDIDfromDevice(rig.transport, sink, kDeviceAddress).Succeeded());
    const UnitMemory table = SimulatedUnit::DefaultTable(kDeviceAddress);
    CHECK(sink.readTable == CanonicalHexText(table));
    CHECK(SameLines(rig.run.NewLogLines(), OpenClose(ReadRequests())));
    CHECK(sink.warnings.empty());
    CHECK(rig.warning.texts.empty());
}

void EdidWriteRunsThroughTheLibrary(Rig& rig) {
    EdidImage table = SimulatedUnit::DefaultTable(kDeviceAddress);
    // Bytes of its own, so that the table read back can only be the one
    // written.
    for (std::size_t i = 0; i < 8; ++i) {
        table[0x5F + i] = static_cast<std::uint8_t>('W' + i);
    }
    RepairChecksums(table);

    rig.run.NewLogLines();
    RecordingTransferSink sink;
    CHECK(WriteEDIDtoDevice(rig.transport, sink, table, kDeviceAddress).Succeeded());
    std::vector<std::string> requests;
    for (std::size_t offset = 0; offset < table.size(); offset += 8) {
        const auto request = frames::BlockWriteRequest(
            kDeviceAddress, static_cast<std::uint8_t>(offset), table.data() + offset);
        requests.push_back(SpacedRequest(request.data(), request.size()));
    }
    CHECK(requests.front() == "10 0C B0 00 00 FF FF FF FF FF FF 00");
    CHECK(SameLines(rig.run.NewLogLines(), OpenClose(requests)));
    CHECK(sink.warnings.empty());

    CHECK(ResetAfterWrite(rig.commands, rig.clock).Answered());
    std::vector<std::string> resets = OpenClose({"11 01 EA 23 20 0D"});
    const auto second = OpenClose({"11 01 EB 23 20 0D"});
    resets.insert(resets.end(), second.begin(), second.end());
    CHECK(SameLines(rig.run.NewLogLines(), resets));

    RecordingTransferSink readBack;
    CHECK(ReadEDIDfromDevice(rig.transport, readBack, kDeviceAddress).Succeeded());
    CHECK(readBack.readTable == CanonicalHexText(table));
    CHECK(rig.warning.texts.empty());
}

void MissingLibraryGivesNoUnit(Rig& rig) {
    rig.run.NewLogLines();
    VendorBridgeLibrary missing("SiUSBXp-missing.dll");
    CHECK(!missing.IsBound());
    std::uint32_t count = 0;
    CHECK(missing.GetNumDevices(&count) != kBridgeSuccess);

    SystemClock clock;
    RecordingNativeWarning warning;
    BridgeTransport transport(missing, clock, warning);
    CHECK(!transport.OpenDevice());
    CHECK(*transport.Handle() == kNoDevice);
    CHECK(warning.texts.empty());

    RecordingTransferSink sink;
    CHECK(ReadEDIDfromDevice(transport, sink, kDeviceAddress).outcome == ReadOutcome::NoUnit);
    CHECK(sink.warnings == std::vector<std::string>{"Hardware not found"});
    CHECK(sink.readTable.empty());
    // Nothing reached the stand-in that the rig has loaded.
    CHECK(rig.run.NewLogLines().empty());
}

} // namespace

int main() {
    Rig rig;
    LibraryIsFoundBesideTheProgramAndBoundByOrdinal(rig);
    ControlCommandGoesOutByteForByte(rig);
    EdidReadRunsThroughTheLibrary(rig);
    EdidWriteRunsThroughTheLibrary(rig);
    MissingLibraryGivesNoUnit(rig);
    return check::Summary();
}
