#pragma once

#include "transfer/TransferSink.h"

#include <string>
#include <vector>

// Stands in for the window in a read or write run: keeps what the run shows.
class RecordingTransferSink : public TransferSink {
public:
    void ShowWarning(const char* text) override { warnings.emplace_back(text); }
    void StartProgress() override {}
    void on_ProgressChange(int, int) override {}
    void ShowStatusMessage(const char* text) override { statusMessages.emplace_back(text); }
    void ShowReadTable(const std::string& hexText) override { readTable = hexText; }
    std::vector<std::string> warnings;
    std::vector<std::string> statusMessages;
    std::string readTable;
};
