#include "transfer/EdidRead.h"

#include "device/CommandFrames.h"
#include "transfer/ChunkGeometry.h"

#include <algorithm>
#include <array>

namespace {

// The progress runs over the table's last offset, so it never quite reaches
// its end.
constexpr int kProgressMaximum = 255;

} // namespace

ReadReport ReadEDIDfromDevice(BridgeTransport& transport, TransferSink& sink,
                              std::uint8_t deviceAddress) {
    ReadReport report;
    sink.StartProgress();
    report.open = transport.OpenDevice();
    if (!report.open.Opened()) {
        return report;
    }

    EdidImage& image = report.table;
    std::array<std::uint8_t, frames::kBlockReadLength> request{};
    for (std::size_t offset = 0; offset < kEdidSize; offset += kReadChunkLength) {
        if (sink.StopRequested()) {
            transport.CloseDevice();
            sink.ShowProgress(0, 0);
            report.outcome = ReadOutcome::Stopped;
            report.failedChunk = static_cast<int>(offset / kReadChunkLength);
            report.table = {};
            return report;
        }
        sink.ShowProgress(static_cast<int>(offset), kProgressMaximum);
        request = frames::BlockReadRequest(kReadChunkLength, deviceAddress,
                                           static_cast<std::uint8_t>(offset));
        // A chunk that did not arrive whole ends the run: showing the
        // previous chunk's bytes in its place would put values into the view
        // that the unit never sent.
        const TransactionOutcome result =
            transport.DeviceTransaction(transport.Handle(), image.data() + offset, request.data(),
                                        kReadChunkLength, request.size());
        if (!result.Ok()) {
            transport.CloseDevice();
            sink.ShowProgress(0, 0);
            report.outcome = ReadOutcome::ChunkFailed;
            report.failedChunk = static_cast<int>(offset / kReadChunkLength);
            report.failure = result;
            report.table = {};
            return report;
        }
    }

    // The unit expects the status request after a table read; its answer
    // carries nothing that a front end shows, so its outcome does not matter.
    std::array<std::uint8_t, frames::kStatusLongLength> status{};
    std::copy(request.begin(), request.end(), status.begin());
    status[0] = frames::kStatus;
    std::array<std::uint8_t, frames::kStatusLongReplyLength> statusReply{};
    transport.DeviceTransaction(transport.Handle(), statusReply.data(), status.data(),
                                statusReply.size(), status.size());

    transport.CloseDevice();
    sink.ShowProgress(0, 0);
    report.outcome = ReadOutcome::Read;
    return report;
}
