#pragma once

#include "device/BridgeTransport.h"
#include "edid/EdidImage.h"
#include "transfer/TransferSink.h"

#include <cstdint>

enum class ReadOutcome {
    Read,
    NoUnit,      // the unit could not be opened: nothing was sent
    ChunkFailed, // a chunk did not arrive whole: the run stopped there
    Stopped,     // the front end asked the run to stop before failedChunk
};

struct ReadReport {
    ReadOutcome outcome = ReadOutcome::NoUnit;
    // NoUnit: where opening the unit stopped.
    OpenOutcome open;
    // ChunkFailed: which chunk, from 0, and why; Stopped: the first chunk
    // not read.
    int failedChunk = -1;
    TransactionOutcome failure;
    // Read: the unit's table.
    EdidImage table{};

    bool Succeeded() const { return outcome == ReadOutcome::Read; }
};

// Reads the unit's 256-byte table in sixteen 16-byte chunks and sends the
// eight-byte status request. Only a run that succeeded hands over a table.
ReadReport ReadEDIDfromDevice(BridgeTransport& transport, TransferSink& sink,
                              std::uint8_t deviceAddress);
