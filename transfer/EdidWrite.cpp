#include "transfer/EdidWrite.h"

#include "device/CommandFrames.h"

#include <array>

namespace {

constexpr int kChunkCount = static_cast<int>(kEdidSize / frames::kBlockWriteDataLength);
constexpr std::uint32_t kChunkWaitMs = 50;
constexpr std::uint32_t kResetGapMs = 50;
constexpr const char* kWriteError = "Error Writing EDID values.";

// Sends one chunk; *taken tells whether the unit took it, when the
// transaction itself went through.
TransactionResult SendChunk(BridgeTransport& transport, const EdidImage& image,
                            std::uint8_t deviceAddress, int chunk, bool* taken) {
    const std::size_t offset = static_cast<std::size_t>(chunk) * frames::kBlockWriteDataLength;
    const auto request = frames::BlockWriteRequest(deviceAddress, static_cast<std::uint8_t>(offset),
                                                   image.data() + offset);
    std::array<std::uint8_t, frames::kBlockWriteReplyLength> reply{};
    const TransactionResult result = transport.DeviceTransaction(
        transport.Handle(), reply.data(), request.data(), reply.size(), request.size());
    *taken = result == TransactionResult::Ok && reply[0] == 0;
    return result;
}

void ReportWriteFailure(TransferSink& sink) {
    sink.ShowStatusMessage(kWriteError);
    sink.ShowWarning(kWriteError);
}

} // namespace

WriteReport WriteEDIDtoDevice(BridgeTransport& transport, TransferSink& sink,
                              const EdidImage& image, std::uint8_t deviceAddress) {
    WriteReport report;
    sink.StartProgress();
    if (!transport.OpenDevice()) {
        sink.ShowWarning("Hardware not found");
        return report;
    }

    for (int chunk = 0; chunk < kChunkCount; ++chunk) {
        // Only between chunks: a chunk in flight always finishes, so the
        // unit is never left in the middle of a request.
        if (sink.StopRequested()) {
            transport.CloseDevice();
            sink.on_ProgressChange(0, 0);
            report.outcome = WriteOutcome::Stopped;
            report.failedChunk = chunk;
            return report;
        }
        sink.on_ProgressChange(chunk, kChunkCount);
        bool taken = false;
        const TransactionResult result = SendChunk(transport, image, deviceAddress, chunk, &taken);
        if (result != TransactionResult::Ok) {
            transport.CloseDevice();
            sink.on_ProgressChange(0, 0);
            ReportWriteFailure(sink);
            report.outcome =
                chunk == 0 ? WriteOutcome::FailedBeforeAnyChunk : WriteOutcome::FailedPartWay;
            report.failedChunk = chunk;
            report.failure = result;
            return report;
        }
        if (!taken) {
            // Refused chunks do not stop the run; the rest of the table still
            // goes out, and the run ends as failed.
            sink.ShowStatusMessage(kWriteError);
            report.refusedChunks.push_back(chunk);
        }
        transport.GetClock().Sleep(kChunkWaitMs);
    }

    transport.CloseDevice();
    sink.on_ProgressChange(0, 0);
    if (!report.refusedChunks.empty()) {
        ReportWriteFailure(sink);
        report.outcome = WriteOutcome::ChunksRefused;
        return report;
    }
    sink.ShowStatusMessage("EDID values written...");
    report.outcome = WriteOutcome::Written;
    return report;
}

ControlReport ResetAfterWrite(ControlCommands& commands, Clock& clock) {
    ControlReport report = commands.ResetEDID("RSTxEDID_A");
    clock.Sleep(kResetGapMs);
    const ControlReport second = commands.ResetEDID("RSTxEDID_B");
    report.requests.insert(report.requests.end(), second.requests.begin(), second.requests.end());
    return report;
}
