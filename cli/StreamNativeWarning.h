#pragma once

#include "device/NativeWarning.h"

#include <ostream>
#include <string>

// The transport's own warnings, which the window shows in boxes, as lines on
// the tool's error stream.
class StreamNativeWarning : public NativeWarning {
public:
    explicit StreamNativeWarning(std::ostream& stream) : stream_(stream) {}
    void Show(const std::string& text) override { stream_ << "talvo-edid: " << text << '\n'; }

private:
    std::ostream& stream_;
};
