#pragma once

#include "TransferSink.h"

#include <string>
#include <vector>

// Stands in for the window in a read or write run: keeps what the run shows
// and hands it the table that the test put in the "Hex view".
class RecordingTransferSink : public TransferSink {
public:
    void ShowWarning(const char* text) override { warnings.emplace_back(text); }
    void StartProgress() override {}
    void on_ProgressChange(int, int) override {}
    void ShowStatusMessage(const char* text) override { statusMessages.emplace_back(text); }
    void ShowIncompleteTable(int count) override {
        warnings.push_back("incomplete table: " + std::to_string(count));
    }
    void ShowReadTable(const std::string& hexText) override { readTable = hexText; }
    int ParseEDIDtext(EdidImage& image) override {
        image = viewTable;
        return static_cast<int>(viewTable.size());
    }
    bool ConfirmWriteWithWrongChecksum() override { return false; }

    EdidImage viewTable{};
    std::vector<std::string> warnings;
    std::vector<std::string> statusMessages;
    std::string readTable;
};
