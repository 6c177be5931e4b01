#include "EdidWrite.h"

#include "Checksum.h"
#include "CommandFrames.h"

#include <array>

namespace {

constexpr int kChunkCount = static_cast<int>(kEdidSize / frames::kBlockWriteDataLength);
constexpr std::uint32_t kChunkWaitMs = 50;
constexpr std::uint32_t kResetGapMs = 50;
constexpr const char* kWriteError = "Error Writing EDID values.";

// The table to write, or false when the Hex view does not hold a whole one or
// the user declined to write wrong checksums.
bool TakeTableFromView(TransferSink& sink, EdidImage& image) {
    const int count = sink.ParseEDIDtext(image);
    if (count < 0) {
        sink.ShowWarning("Hex Format Error");
        return false;
    }
    // A short table would overwrite the rest of the unit's table with zeros.
    if (count < static_cast<int>(kEdidSize)) {
        sink.ShowIncompleteTable(count);
        return false;
    }
    return ChecksumsCorrect(image) || sink.ConfirmWriteWithWrongChecksum();
}

// Sends one chunk; false when its transaction failed, so no reply exists.
bool SendChunk(BridgeTransport& transport, const EdidImage& image, std::uint8_t deviceAddress,
               int chunk, bool* taken) {
    const std::size_t offset = static_cast<std::size_t>(chunk) * frames::kBlockWriteDataLength;
    const auto request = frames::BlockWriteRequest(deviceAddress, static_cast<std::uint8_t>(offset),
                                                   image.data() + offset);
    std::array<std::uint8_t, frames::kBlockWriteReplyLength> reply{};
    if (!transport.DeviceTransaction(transport.Handle(), reply.data(), request.data(), reply.size(),
                                     request.size())) {
        return false;
    }
    *taken = reply[0] == 0;
    return true;
}

bool ReportWriteFailure(TransferSink& sink) {
    sink.ShowStatusMessage(kWriteError);
    sink.ShowWarning(kWriteError);
    return false;
}

} // namespace

bool WriteEDIDtoDevice(BridgeTransport& transport, TransferSink& sink, std::uint8_t deviceAddress) {
    sink.StartProgress();
    EdidImage image{};
    if (!TakeTableFromView(sink, image)) {
        return false;
    }
    if (!transport.OpenDevice()) {
        sink.ShowWarning("Hardware not found");
        return false;
    }

    bool allTaken = true;
    for (int chunk = 0; chunk < kChunkCount; ++chunk) {
        sink.on_ProgressChange(chunk, kChunkCount);
        bool taken = false;
        if (!SendChunk(transport, image, deviceAddress, chunk, &taken)) {
            transport.CloseDevice();
            sink.on_ProgressChange(0, 0);
            return ReportWriteFailure(sink);
        }
        if (!taken) {
            // Refused chunks do not stop the run; the rest of the table still
            // goes out, and the run ends as failed.
            sink.ShowStatusMessage(kWriteError);
            allTaken = false;
        }
        transport.GetClock().Sleep(kChunkWaitMs);
    }

    transport.CloseDevice();
    sink.on_ProgressChange(0, 0);
    if (!allTaken) {
        return ReportWriteFailure(sink);
    }
    sink.ShowStatusMessage("EDID values written...");
    return true;
}

void ResetAfterWrite(ControlCommands& commands, Clock& clock) {
    commands.ResetEDID("RSTxEDID_A");
    clock.Sleep(kResetGapMs);
    commands.ResetEDID("RSTxEDID_B");
}
