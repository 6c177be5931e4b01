#include "transfer/EdidRead.h"

#include "device/CommandFrames.h"
#include "edid/HexText.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::uint8_t kChunkLength = 16;
constexpr int kProgressMaximum = 255;

} // namespace

ReadReport ReadEDIDfromDevice(BridgeTransport& transport, TransferSink& sink,
                              std::uint8_t deviceAddress) {
    ReadReport report;
    sink.StartProgress();
    if (!transport.OpenDevice()) {
        sink.ShowWarning("Hardware not found");
        return report;
    }

    EdidImage& image = report.table;
    std::array<std::uint8_t, frames::kBlockReadLength> request{};
    for (std::size_t offset = 0; offset < kEdidSize; offset += kChunkLength) {
        if (sink.StopRequested()) {
            transport.CloseDevice();
            sink.on_ProgressChange(0, 0);
            report.outcome = ReadOutcome::Stopped;
            report.failedChunk = static_cast<int>(offset / kChunkLength);
            report.table = {};
            return report;
        }
        sink.on_ProgressChange(static_cast<int>(offset), kProgressMaximum);
        request = frames::BlockReadRequest(kChunkLength, deviceAddress,
                                           static_cast<std::uint8_t>(offset));
        // A chunk that did not arrive whole ends the run: showing the
        // previous chunk's bytes in its place would put values into the view
        // that the unit never sent.
        const TransactionResult result =
            transport.DeviceTransaction(transport.Handle(), image.data() + offset, request.data(),
                                        kChunkLength, request.size());
        if (result != TransactionResult::Ok) {
            transport.CloseDevice();
            sink.on_ProgressChange(0, 0);
            sink.ShowWarning("Error Reading EDID values.");
            report.outcome = ReadOutcome::ChunkFailed;
            report.failedChunk = static_cast<int>(offset / kChunkLength);
            report.failure = result;
            report.table = {};
            return report;
        }
    }

    // The unit expects the status request after a table read; its answer
    // carries nothing that the window shows, so its outcome does not matter.
    std::array<std::uint8_t, frames::kStatusLongLength> status{};
    std::copy(request.begin(), request.end(), status.begin());
    status[0] = frames::kStatus;
    std::array<std::uint8_t, frames::kStatusLongReplyLength> statusReply{};
    transport.DeviceTransaction(transport.Handle(), statusReply.data(), status.data(),
                                statusReply.size(), status.size());

    transport.CloseDevice();
    sink.on_ProgressChange(0, 0);
    sink.ShowStatusMessage("EDID values read.");
    sink.ShowReadTable(CanonicalHexText(image));
    report.outcome = ReadOutcome::Read;
    return report;
}
