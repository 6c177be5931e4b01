#pragma once

#include "transfer/TransferSink.h"

#include <functional>
#include <ostream>
#include <string>

// The read and write runs as the tool follows them: the runs' texts are the
// window's, so the tool says what happened from their reports instead; only
// the progress is shown, as one line redrawn on a terminal.
class ProgressSink : public TransferSink {
public:
    // Shows nothing when `enabled` is false.
    ProgressSink(std::ostream& stream, bool enabled) : stream_(stream), enabled_(enabled) {}

    // Names the run that the next progress belongs to.
    void SetLabel(const std::string& label) { label_ = label; }
    // Runs stop between chunks once this says so.
    void SetStopQuery(std::function<bool()> stop) { stop_ = std::move(stop); }

    void ShowWarning(const char*) override {}
    void StartProgress() override {}
    void on_ProgressChange(int value, int maximum) override;
    void ShowStatusMessage(const char*) override {}
    void ShowReadTable(const std::string&) override {}
    bool StopRequested() override { return stop_ && stop_(); }

private:
    std::ostream& stream_;
    bool enabled_;
    std::string label_;
    std::function<bool()> stop_;
    bool lineShown_ = false;
};
