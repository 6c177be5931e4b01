#pragma once

#include "device/BridgeTransport.h"
#include "device/ControlCommands.h"
#include "edid/EdidImage.h"
#include "transfer/TransferSink.h"

#include <cstdint>
#include <vector>

enum class WriteOutcome {
    Written,              // every chunk was taken
    NoUnit,               // the unit could not be opened: nothing was sent
    FailedBeforeAnyChunk, // the first chunk's transaction failed
    FailedPartWay,        // a later chunk's transaction failed: the table is partly written
    ChunksRefused,        // every chunk was sent, but the unit refused some
    Stopped, // the front end asked the run to stop: chunks before failedChunk were sent
};

struct WriteReport {
    WriteOutcome outcome = WriteOutcome::NoUnit;
    // NoUnit: where opening the unit stopped.
    OpenOutcome open;
    // FailedBeforeAnyChunk, FailedPartWay: the chunk, from 0, and why;
    // Stopped: the first chunk not sent.
    int failedChunk = -1;
    TransactionOutcome failure;
    // Chunks, from 0, that the unit answered with an error byte.
    std::vector<int> refusedChunks;

    bool Succeeded() const { return outcome == WriteOutcome::Written; }
};

// Writes the table to the unit in 32 chunks of 8 bytes, each followed by a
// 50 ms wait. A chunk whose transaction fails ends the run; refused chunks do
// not.
WriteReport WriteEDIDtoDevice(BridgeTransport& transport, TransferSink& sink,
                              const EdidImage& image, std::uint8_t deviceAddress);

// The unit's two EDID reset commands, 50 ms apart, sent after every write
// run that passed the mode check; the report holds both requests, in order.
ControlReport ResetAfterWrite(ControlCommands& commands, Clock& clock);
