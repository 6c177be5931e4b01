#pragma once

#include "transfer/TransferSink.h"

#include <vector>

// Stands in for the window in a read or write run: keeps the chunks that the
// unit refused.
class RecordingTransferSink : public TransferSink {
public:
    void StartProgress() override {}
    void ShowProgress(int, int) override {}
    void ChunkRefused(int chunk) override { refused.push_back(chunk); }
    std::vector<int> refused;
};
