#include "transfer/EdidWrite.h"

#include "device/CommandFrames.h"
#include "transfer/ChunkGeometry.h"

#include <array>

namespace {

constexpr std::uint32_t kChunkWaitMs = 50;
constexpr std::uint32_t kResetGapMs = 50;

// Sends one chunk; *taken tells whether the unit took it, when the
// transaction itself went through.
TransactionOutcome SendChunk(BridgeTransport& transport, const EdidImage& image,
                             std::uint8_t deviceAddress, int chunk, bool* taken) {
    const std::size_t offset = static_cast<std::size_t>(chunk) * kWriteChunkLength;
    const auto request = frames::BlockWriteRequest(deviceAddress, static_cast<std::uint8_t>(offset),
                                                   image.data() + offset);
    std::array<std::uint8_t, frames::kBlockWriteReplyLength> reply{};
    const TransactionOutcome result = transport.DeviceTransaction(
        transport.Handle(), reply.data(), request.data(), reply.size(), request.size());
    *taken = result.Ok() && reply[0] == 0;
    return result;
}

} // namespace

WriteReport WriteEDIDtoDevice(BridgeTransport& transport, TransferSink& sink,
                              const EdidImage& image, std::uint8_t deviceAddress) {
    WriteReport report;
    sink.StartProgress();
    report.open = transport.OpenDevice();
    if (!report.open.Opened()) {
        return report;
    }

    for (int chunk = 0; chunk < kWriteChunkCount; ++chunk) {
        // Only between chunks: a chunk in flight always finishes, so the
        // unit is never left in the middle of a request.
        if (sink.StopRequested()) {
            transport.CloseDevice();
            sink.ShowProgress(0, 0);
            report.outcome = WriteOutcome::Stopped;
            report.failedChunk = chunk;
            return report;
        }
        sink.ShowProgress(chunk, kWriteChunkCount);
        bool taken = false;
        const TransactionOutcome result = SendChunk(transport, image, deviceAddress, chunk, &taken);
        if (!result.Ok()) {
            transport.CloseDevice();
            sink.ShowProgress(0, 0);
            report.outcome =
                chunk == 0 ? WriteOutcome::FailedBeforeAnyChunk : WriteOutcome::FailedPartWay;
            report.failedChunk = chunk;
            report.failure = result;
            return report;
        }
        if (!taken) {
            // Refused chunks do not stop the run; the rest of the table still
            // goes out, and the run ends as failed.
            report.refusedChunks.push_back(chunk);
            sink.ChunkRefused(chunk);
        }
        transport.GetClock().Sleep(kChunkWaitMs);
    }

    transport.CloseDevice();
    sink.ShowProgress(0, 0);
    report.outcome =
        report.refusedChunks.empty() ? WriteOutcome::Written : WriteOutcome::ChunksRefused;
    return report;
}

ControlReport ResetAfterWrite(ControlCommands& commands, Clock& clock) {
    ControlReport report = commands.ResetEDID(EdidReset::A);
    clock.Sleep(kResetGapMs);
    const ControlReport second = commands.ResetEDID(EdidReset::B);
    report.requests.insert(report.requests.end(), second.requests.begin(), second.requests.end());
    return report;
}
