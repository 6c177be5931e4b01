#pragma once

#include "transfer/TransferSink.h"

#include <functional>
#include <ostream>
#include <string>

// The read and write runs as the tool follows them: the progress, as one line
// redrawn on a terminal; what a run came to the tool says from its report.
class ProgressSink : public TransferSink {
public:
    // Shows nothing when `enabled` is false.
    ProgressSink(std::ostream& stream, bool enabled) : stream_(stream), enabled_(enabled) {}

    // Names the run that the next progress belongs to.
    void SetLabel(const std::string& label) { label_ = label; }
    // Runs stop between chunks once this says so.
    void SetStopQuery(std::function<bool()> stop) { stop_ = std::move(stop); }

    void StartProgress() override {}
    void ShowProgress(int value, int maximum) override;
    bool StopRequested() override { return stop_ && stop_(); }

private:
    std::ostream& stream_;
    bool enabled_;
    std::string label_;
    std::function<bool()> stop_;
    bool lineShown_ = false;
};
